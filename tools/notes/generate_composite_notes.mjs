// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Generates tests/data/notes/composite_notes.json: signed notes whose signature lines are composite
// (framed hybrid or pure ML-DSA-87) signatures, for every version tag, with independent signers
// (@noble/curves, @noble/post-quantum). Keys come from fixed seeds and every signature is
// deterministic, so re-running reproduces the committed file.
//
//   cd tools/notes && npm ci && node generate_composite_notes.mjs
//
// A composite verifier key is name+id+base64(0xFF || composite label || framed public key); a
// line's signature is the framed signature over frame(signed-note label, note text).
import { mkdirSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sha256 } from '@noble/hashes/sha2.js';
import { ed25519 } from '@noble/curves/ed25519.js';
import { ed448 } from '@noble/curves/ed448.js';
import { p521 } from '@noble/curves/nist.js';
import { ml_dsa44, ml_dsa65, ml_dsa87 } from '@noble/post-quantum/ml-dsa.js';

const OUT = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'tests', 'data', 'notes', 'composite_notes.json');

const SIGNED_NOTE_LABEL = 'quorvantile.dev/signed-note/v1';
const COMPOSITE_LABEL = 'quorvantile.dev/composite-mldsa-ed25519/v1';

const enc = new TextEncoder();
const utf8 = (s) => enc.encode(s);
const b64 = (b) => Buffer.from(b).toString('base64');
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
const seedFor = (label, len) => {
  const out = new Uint8Array(len);
  for (let i = 0, counter = 0; i < len; counter++) {
    const block = sha256(utf8(`${label}/${counter}`));
    out.set(block.subarray(0, Math.min(32, len - i)), i);
    i += 32;
  }
  return out;
};
const u64be = (n) => {
  const out = new Uint8Array(8);
  new DataView(out.buffer).setBigUint64(0, BigInt(n));
  return out;
};
const u32be = (n) => {
  const out = new Uint8Array(4);
  new DataView(out.buffer).setUint32(0, n);
  return out;
};
const frame = (context, message) => concat(u64be(context.length), context, message);
const bigToBytes = (n, len) => {
  const out = new Uint8Array(len);
  for (let i = len - 1; i >= 0; i--, n >>= 8n) out[i] = Number(n & 0xffn);
  return out;
};
const bytesToBig = (b) => BigInt('0x' + (hex(b) || '0'));
const flipBit = (bytes, index) => {
  const out = Uint8Array.from(bytes);
  out[index] ^= 1;
  return out;
};

// Component schemes, each signing the framed message as its standard defines (pure, empty
// context; ECDSA P-521 over SHA-512; ML-DSA deterministic).
const mldsa = (impl, name) => ({
  name,
  keygen: (label) => impl.keygen(seedFor(label, 32)),
  sign: (kp, m) => impl.sign(m, kp.secretKey, { extraEntropy: false }),
  verify: (pk, m, sig) => impl.verify(sig, m, pk),
});
const ED25519 = {
  name: 'ed25519',
  keygen: (label) => {
    const secretKey = seedFor(label, 32);
    return { secretKey, publicKey: ed25519.getPublicKey(secretKey) };
  },
  sign: (kp, m) => ed25519.sign(m, kp.secretKey),
  verify: (pk, m, sig) => ed25519.verify(sig, m, pk, { zip215: false }),
};
const ED448 = {
  name: 'ed448',
  keygen: (label) => {
    const secretKey = seedFor(label, 57);
    return { secretKey, publicKey: ed448.getPublicKey(secretKey) };
  },
  sign: (kp, m) => ed448.sign(m, kp.secretKey),
  verify: (pk, m, sig) => ed448.verify(sig, m, pk),
};
const P521_N = p521.Point.Fn.ORDER;
const P521 = {
  name: 'ecdsa-p521-sha512',
  keygen: (label) => {
    const d = (bytesToBig(seedFor(label, 66)) % (P521_N - 1n)) + 1n;
    const secretKey = bigToBytes(d, 66);
    return { secretKey, publicKey: p521.getPublicKey(secretKey, false) };
  },
  sign: (kp, m) => p521.sign(m, kp.secretKey, { prehash: true, lowS: false }),
  verify: (pk, m, sig) => p521.verify(sig, m, pk, { prehash: true, lowS: false }),
};
const ML44 = mldsa(ml_dsa44, 'ml-dsa-44');
const ML65 = mldsa(ml_dsa65, 'ml-dsa-65');
const ML87 = mldsa(ml_dsa87, 'ml-dsa-87');

const TAGS = [
  { tag: 0x01, components: [ED25519, ML44], pkTotal: 1345, sigTotal: 2485 },
  { tag: 0x02, components: [ED25519, ML65], pkTotal: 1985, sigTotal: 3374 },
  { tag: 0x03, components: [ED25519, ML87], pkTotal: 2625, sigTotal: 4692 },
  { tag: 0x10, components: [ML87], pkTotal: 2593, sigTotal: 4628 },
  { tag: 0x13, components: [ED448, ML65], pkTotal: 2010, sigTotal: 3424 },
  { tag: 0x14, components: [P521, ML87], pkTotal: 2726, sigTotal: 4760 },
];
const tagHex = (tag) => tag.toString(16).padStart(2, '0');

const keyPair = (scheme, label) => {
  const parts = scheme.components.map((c) => c.keygen(`${label}/${c.name}`));
  const publicKey = concat(new Uint8Array([scheme.tag]), ...parts.map((p) => p.publicKey));
  if (publicKey.length !== scheme.pkTotal) throw new Error(`tag ${tagHex(scheme.tag)}: key length`);
  return { scheme, parts, publicKey };
};

// The framed signature over frame(context, message), checked by each component's verifier.
const sign = (kp, context, message) => {
  const m = frame(context, message);
  const sigs = kp.scheme.components.map((c, i) => c.sign(kp.parts[i], m));
  kp.scheme.components.forEach((c, i) => {
    if (!c.verify(kp.parts[i].publicKey, m, sigs[i])) throw new Error(`${c.name}: own signature fails`);
  });
  const signature = concat(new Uint8Array([kp.scheme.tag]), ...sigs);
  if (signature.length !== kp.scheme.sigTotal) throw new Error(`tag ${tagHex(kp.scheme.tag)}: sig length`);
  return signature;
};

const keyBytes = (kp) => concat(new Uint8Array([0xff]), utf8(COMPOSITE_LABEL), kp.publicKey);
const keyId = (name, bytes) => new DataView(sha256(concat(utf8(name), new Uint8Array([0x0a]), bytes)).buffer).getUint32(0);
const vkeyText = (name, kp) => `${name}+${keyId(name, keyBytes(kp)).toString(16).padStart(8, '0')}+${b64(keyBytes(kp))}`;
const line = (name, id, signature) => `\u2014 ${name} ${b64(concat(u32be(id), signature))}\n`;
const invalid = (name, id) => `invalid signature for known key "${name}" (key id ${id.toString(16).padStart(8, '0')})`;

const cases = [];
const signedNoteLabel = utf8(SIGNED_NOTE_LABEL);
const keys = {};
for (const scheme of TAGS) {
  const t = tagHex(scheme.tag);
  const name = `hybrid-${t}.example/log`;
  const kp = keyPair(scheme, `note-fixture/${t}`);
  keys[t] = kp;
  const vkey = vkeyText(name, kp);
  const id = keyId(name, keyBytes(kp));
  const text = `composite note for tag ${t}\nsecond line\n`;
  const sig = sign(kp, signedNoteLabel, utf8(text));
  const classicalLength = scheme.components.length === 2 ? sig.length - (scheme.components[1] === ML44 ? 2420 : scheme.components[1] === ML65 ? 3309 : 4627) - 1 : 0;
  const push = (what, note, vkeys, expect) => cases.push({ tag: t, what, note, vkeys, expect });

  push('valid', text + '\n' + line(name, id, sig), [vkey], 'verified 1');
  push('signed twice', text + '\n' + line(name, id, sig) + line(name, id, sig), [vkey], 'verified 2');
  if (classicalLength > 0) {
    push('classical component corrupted', text + '\n' + line(name, id, flipBit(sig, 1 + classicalLength - 1)), [vkey], invalid(name, id));
  }
  push('ml-dsa component corrupted', text + '\n' + line(name, id, flipBit(sig, 1 + classicalLength + 5)), [vkey], invalid(name, id));
  push('one byte short', text + '\n' + line(name, id, sig.subarray(0, sig.length - 1)), [vkey], invalid(name, id));
  push('note text changed', text.replace('second', 'Second') + '\n' + line(name, id, sig), [vkey], invalid(name, id));
  push('signed under another context', text + '\n' + line(name, id, sign(kp, utf8('quorvantile.dev/signed-note/v2'), utf8(text))), [vkey], invalid(name, id));
  push('signed without framing', text + '\n' + line(name, id, sign(kp, new Uint8Array(), utf8(text))), [vkey], invalid(name, id));
  push('unknown signature tag', text + '\n' + line(name, id, concat(new Uint8Array([0x04]), sig.subarray(1))), [vkey], invalid(name, id));
  push('untrusted composite line', text + '\n' + line(name, id, sig), [], 'note has no verifiable signature from a trusted key');
}

// Signature tag and key tag of different schemes, on a trusted key.
for (const [sigTag, keyTag] of [['01', '02'], ['10', '03'], ['03', '10'], ['13', '14']]) {
  const name = `cross-${sigTag}-${keyTag}.example/log`;
  const text = `cross-tag note\n`;
  const id = keyId(name, keyBytes(keys[keyTag]));
  cases.push({
    tag: keyTag,
    what: `signature of tag ${sigTag} under a key of tag ${keyTag}`,
    note: text + '\n' + line(name, id, sign(keys[sigTag], signedNoteLabel, utf8(text))),
    vkeys: [vkeyText(name, keys[keyTag])],
    expect: invalid(name, id),
  });
}

// A composite line and an Ed25519 line on one note, both trusted.
{
  const kp = keys['02'];
  const name = 'mixed.example/log';
  const text = 'mixed note\n';
  const edSecret = seedFor('note-fixture/mixed/ed25519', 32);
  const edPublic = ed25519.getPublicKey(edSecret);
  const edBytes = concat(new Uint8Array([0x01]), edPublic);
  const edName = 'classic.example/log';
  const edId = keyId(edName, edBytes);
  const edVkey = `${edName}+${edId.toString(16).padStart(8, '0')}+${b64(edBytes)}`;
  cases.push({
    tag: '02',
    what: 'composite and ed25519 lines',
    note: text + '\n' + line(name, keyId(name, keyBytes(kp)), sign(kp, signedNoteLabel, utf8(text))) +
      line(edName, edId, ed25519.sign(utf8(text), edSecret)),
    vkeys: [vkeyText(name, kp), edVkey],
    expect: 'verified 2',
  });
}

// A checkpoint of 2^30 leaves signed with a tag-0x02 key, with one leaf's inclusion proof.
const checkpoint = (() => {
  const hashLeaf = (data) => sha256(concat(new Uint8Array([0]), data));
  const hashNode = (l, r) => sha256(concat(new Uint8Array([1]), l, r));
  const size = 2 ** 30;
  const index = 123456789;
  const leafHash = hashLeaf(utf8('leaf 123456789'));
  const proof = [];
  let node = leafHash;
  for (let level = 0; level < 30; level++) {
    const sibling = sha256(utf8(`sibling ${level}`));
    proof.push(sibling);
    node = (index >> level) & 1 ? hashNode(sibling, node) : hashNode(node, sibling);
  }
  const kp = keys['02'];
  const name = 'bench.example/log';
  const text = `bench.example/log\n${size}\n${b64(node)}\n`;
  return {
    note: text + '\n' + line(name, keyId(name, keyBytes(kp)), sign(kp, signedNoteLabel, utf8(text))),
    vkeys: [vkeyText(name, kp)],
    size,
    leaf_index: index,
    leaf_hash: hex(leafHash),
    proof: proof.map(hex),
  };
})();

mkdirSync(dirname(OUT), { recursive: true });
writeFileSync(
  OUT,
  JSON.stringify(
    {
      note: 'Generated by tools/notes/generate_composite_notes.mjs; do not edit. Each case: note text, verifier keys and the expected outcome of verify_signed_note ("verified N" or the error message).',
      signed_note_label: SIGNED_NOTE_LABEL,
      composite_label: COMPOSITE_LABEL,
      cases,
      checkpoint_2_30: checkpoint,
    },
    null,
    1,
  ) + '\n',
);
console.log(`wrote ${cases.length} cases to ${OUT}`);
