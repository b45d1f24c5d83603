// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Generates signed namespace-policy envelopes from policies.json with independent signers
// (@noble/curves, @noble/post-quantum) and an encoder of the record written from the format
// description: tests/data/policy/policies.json for the tests and benchmarks, and the demo's
// bundled policy demo/data/namespace_policy.bin. Deterministic: keys from fixed seeds,
// deterministic signing.
//
//   cd tools/policy && npm ci && node generate_policies.mjs
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sha256 } from '@noble/hashes/sha2.js';
import { sha3_512 } from '@noble/hashes/sha3.js';
import { ed25519 } from '@noble/curves/ed25519.js';
import { ed448 } from '@noble/curves/ed448.js';
import { p521 } from '@noble/curves/nist.js';
import { ml_dsa44, ml_dsa65, ml_dsa87 } from '@noble/post-quantum/ml-dsa.js';

const HERE = dirname(fileURLToPath(import.meta.url));
const ROOT = join(HERE, '..', '..');
const OUT_DIR = join(ROOT, 'tests', 'data', 'policy');
const DEMO_OUT = join(ROOT, 'demo', 'data', 'namespace_policy.bin');

// ---------------------------------------------------------------------------------------------
// Bytes

const enc = new TextEncoder();
const utf8 = (s) => enc.encode(s);
const hex = (b) => Buffer.from(b).toString('hex');
const concat = (...parts) => {
  const out = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let o = 0;
  for (const p of parts) {
    out.set(p, o);
    o += p.length;
  }
  return out;
};
const be = (n, width) => {
  let v = BigInt(n);
  const out = new Uint8Array(width);
  for (let i = width - 1; i >= 0; i--, v >>= 8n) out[i] = Number(v & 0xffn);
  if (v !== 0n) throw new Error(`${n} does not fit ${width} bytes`);
  return out;
};
const lp = (b) => concat(be(b.length, 4), b);
const seedFor = (label, len) => {
  const out = new Uint8Array(len);
  for (let i = 0, counter = 0; i < len; counter++, i += 32) {
    out.set(sha256(utf8(`${label}/${counter}`)).subarray(0, Math.min(32, len - i)), i);
  }
  return out;
};

// ---------------------------------------------------------------------------------------------
// The record and envelope, from the format description

const TAGS = {
  security_level: { Cat3: 3, Cat5: 5 },
  checkpoint_suite: { Hybrid: 1, HybridMatched: 2, PureCnsa2: 3 },
  commitment_hash: { Sha3_256: 1, Sha3_512: 2 },
  vrf_mode: { Classical: 1, HybridOutput: 2, PurePqExperimental: 3 },
  directory_mode: { Coniks: 1, Keytrans: 2 },
  keytrans_suite: { Kt128Sha256P256: 0x0001, Kt128Sha256Ed25519: 0x0002, QuorvantileHybridExp: 0xf000 },
};
const tag = (field, name) => {
  const t = TAGS[field][name];
  if (t === undefined) throw new Error(`no ${field} ${name}`);
  return t;
};

// Fields common to both versions; `version` decides whether the directory fields follow.
const recordBytes = (p, version, prev) => {
  const parts = [
    be(version, 4),
    lp(utf8(p.namespace)),
    be(p.policy_schema_version, 4),
    Uint8Array.of(tag('security_level', p.security_level), tag('checkpoint_suite', p.checkpoint_suite),
      tag('commitment_hash', p.commitment_hash), tag('vrf_mode', p.vrf_mode)),
    be(p.effective_from, 8),
    be(p.created_at, 8),
    lp(prev ?? new Uint8Array(0)),
  ];
  if (version === 2) parts.push(Uint8Array.of(tag('directory_mode', p.directory_mode)), be(tag('keytrans_suite', p.keytrans_suite), 2));
  return concat(...parts);
};

const directoryMode = (p) => (p.record_version === 1 ? 'Coniks' : p.directory_mode);
const keytransSuite = (p) => (p.record_version === 1 ? 'QuorvantileHybridExp' : p.keytrans_suite);

// Canonical form: version 1 whenever the directory is Coniks, the directory fields only for Keytrans.
const canonicalBytes = (p, prev) => {
  const keytrans = directoryMode(p) === 'Keytrans';
  const out = recordBytes({ ...p, directory_mode: directoryMode(p), keytrans_suite: keytransSuite(p) }, keytrans ? 2 : 1, prev);
  const want = 36 + utf8(p.namespace).length + (prev ? 64 : 0) + (keytrans ? 3 : 0);
  if (out.length !== want) throw new Error(`${p.name}: canonical length ${out.length}, want ${want}`);
  return out;
};
const contextLabel = (p) => `${p.namespace}/namespace-policy/v${directoryMode(p) === 'Keytrans' ? 2 : 1}`;
const withContext = (context, message) => sha3_512(concat(be(context.length, 8), context, message));
const leafHash = (data) => sha256(concat(Uint8Array.of(0), data));
const envelopeBytes = (record, publicKey, signature) => concat(be(1, 4), lp(record), lp(publicKey), lp(signature));

// ---------------------------------------------------------------------------------------------
// Framed signers, one per tag: tag byte, then the components' keys / signatures in order, each
// component signing frame(context, message) = u64 context length || context || message.

const frame = (context, message) => concat(be(context.length, 8), context, message);
const mldsa = (impl) => ({
  keygen: (label) => impl.keygen(seedFor(label, 32)),
  sign: (k, m) => impl.sign(m, k.secretKey, { extraEntropy: false }),
  verify: (pk, m, sig) => impl.verify(sig, m, pk),
  keyLen: impl.lengths.publicKey,
  sigLen: impl.lengths.signature,
});
const ED25519 = {
  keygen: (label) => {
    const secretKey = seedFor(label, 32);
    return { secretKey, publicKey: ed25519.getPublicKey(secretKey) };
  },
  sign: (k, m) => ed25519.sign(m, k.secretKey),
  verify: (pk, m, sig) => ed25519.verify(sig, m, pk),
  keyLen: 32,
  sigLen: 64,
};
const ED448 = {
  keygen: (label) => {
    const secretKey = seedFor(label, 57);
    return { secretKey, publicKey: ed448.getPublicKey(secretKey) };
  },
  sign: (k, m) => ed448.sign(m, k.secretKey),
  verify: (pk, m, sig) => ed448.verify(sig, m, pk),
  keyLen: 57,
  sigLen: 114,
};
const P521_N = p521.Point.Fn.ORDER;
const P521 = {
  keygen: (label) => {
    const d = (BigInt('0x' + hex(seedFor(label, 66))) % (P521_N - 1n)) + 1n;
    const secretKey = be(d, 66);
    return { secretKey, publicKey: p521.getPublicKey(secretKey, false) };
  },
  sign: (k, m) => p521.sign(m, k.secretKey, { prehash: true, lowS: false }),
  verify: (pk, m, sig) => p521.verify(sig, m, pk, { prehash: true, lowS: false }),
  keyLen: 133,
  sigLen: 132,
};
const SCHEMES = {
  '01': [ED25519, mldsa(ml_dsa44)],
  '02': [ED25519, mldsa(ml_dsa65)],
  '03': [ED25519, mldsa(ml_dsa87)],
  10: [mldsa(ml_dsa87)],
  13: [ED448, mldsa(ml_dsa65)],
  14: [P521, mldsa(ml_dsa87)],
};

const keyPair = (t, label) => {
  const components = SCHEMES[t];
  const parts = components.map((c, i) => c.keygen(`${label}/${t}/${i}`));
  return { t, components, parts, publicKey: concat(Uint8Array.of(parseInt(t, 16)), ...parts.map((p) => p.publicKey)) };
};
const sign = (kp, context, message) => {
  const m = frame(context, message);
  return concat(Uint8Array.of(parseInt(kp.t, 16)), ...kp.components.map((c, i) => c.sign(kp.parts[i], m)));
};
// Every component must hold before a case claiming a valid signature is written.
const selfVerify = (kp, context, message, signature) => {
  const m = frame(context, message);
  let so = 1;
  let ko = 1;
  return kp.components.every((c) => {
    const ok = c.verify(kp.publicKey.subarray(ko, ko + c.keyLen), m, signature.subarray(so, so + c.sigLen));
    so += c.sigLen;
    ko += c.keyLen;
    return ok;
  });
};

const keys = new Map();
const keyFor = (t, which = 'key0') => {
  const id = `${t}/${which}`;
  if (!keys.has(id)) keys.set(id, keyPair(t, `policy/${which}`));
  return keys.get(id);
};

// ---------------------------------------------------------------------------------------------
// Cases

const build = (p, hashes) => {
  const prev = p.prev === null ? null : hashes.get(p.prev);
  if (p.prev !== null && !prev) throw new Error(`${p.name}: unknown prev ${p.prev}`);
  const record = recordBytes(p, p.record_version, prev);
  const canonical = canonicalBytes(p, prev);
  const label = contextLabel(p);
  const kp = keyFor(p.signer);
  let publicKey = kp.publicKey;
  let signature;
  switch (p.tamper) {
    case undefined:
      signature = sign(kp, utf8(label), canonical);
      if (!selfVerify(kp, utf8(label), canonical, signature)) throw new Error(`${p.name}: does not self-verify`);
      break;
    case 'sign_received_bytes':
      if (hex(record) === hex(canonical)) throw new Error(`${p.name}: received bytes are already canonical`);
      signature = sign(kp, utf8(label), record);
      break;
    case 'label_v2':
      signature = sign(kp, utf8(`${p.namespace}/namespace-policy/v2`), canonical);
      break;
    case 'label_without_version':
      signature = sign(kp, utf8(`${p.namespace}/namespace-policy`), canonical);
      break;
    case 'other_key':
      signature = sign(keyFor(p.signer, 'key1'), utf8(label), canonical);
      break;
    case 'key_of_tag_13':
      signature = sign(kp, utf8(label), canonical);
      publicKey = keyFor('13').publicKey;
      break;
    case 'signature_tag_04':
      signature = sign(kp, utf8(label), canonical);
      signature[0] = 0x04;
      break;
    default:
      throw new Error(`${p.name}: unknown tamper ${p.tamper}`);
  }
  const policyHash = withContext(utf8(label), canonical);
  if (!p.tamper) hashes.set(p.name, policyHash);
  const out = {
    name: p.name,
    envelope: hex(envelopeBytes(record, publicKey, signature)),
    record: hex(record),
    canonical: hex(canonical),
    context_label: label,
    signature_tag: p.signer,
  };
  if (p.tamper) {
    out.error = `invalid signature for known key "${p.namespace}/namespace-policy" (key id 00000000)`;
    return out;
  }
  out.posture = {
    namespace: p.namespace,
    policy_schema_version: p.policy_schema_version,
    security_level: p.security_level,
    checkpoint_suite: p.checkpoint_suite,
    commitment_hash: p.commitment_hash,
    vrf_mode: p.vrf_mode,
    directory_mode: directoryMode(p),
    keytrans_suite: keytransSuite(p),
    effective_from: p.effective_from,
    created_at: p.created_at,
    prev_policy_hash: prev ? hex(prev) : '',
    policy_hash: hex(policyHash),
    rfc6962_leaf_hash: hex(leafHash(canonical)),
  };
  return out;
};

const description = JSON.parse(readFileSync(join(HERE, 'policies.json'), 'utf8'));
const hashes = new Map();
const cases = description.policies.map((p) => build(p, hashes));
for (const t of Object.keys(SCHEMES)) {
  if (!description.policies.some((p) => !p.tamper && p.signer === t)) throw new Error(`no valid policy signed with tag ${t}`);
}

mkdirSync(OUT_DIR, { recursive: true });
writeFileSync(join(OUT_DIR, 'policies.json'), JSON.stringify({ cases }, null, 1) + '\n');
const demo = build(description.demo, new Map());
writeFileSync(DEMO_OUT, Buffer.from(demo.envelope, 'hex'));
console.log(`wrote ${cases.length} policies to ${OUT_DIR} and the demo policy to ${DEMO_OUT}`);
