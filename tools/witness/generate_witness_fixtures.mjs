// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Generates tests/data/witness/: checkpoints signed by a composite hybrid log key (0xFF) and
// cosigned with timestamped Ed25519 (0x04) and ML-DSA-44 (0x06) cosignatures, the policies they
// verify under (and one whose quorum is not met), a proof bundle over a small tree with a known
// leaf, an older/newer pair with its consistency proof, and the inputs of the witness benchmarks.
// Signers are independent of the library (@noble/curves, @noble/post-quantum); keys come from
// fixed seeds and every signature is deterministic, so re-running reproduces the committed files.
//
//   cd tools/witness && npm ci && node generate_witness_fixtures.mjs
import { mkdirSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sha256 } from '@noble/hashes/sha2.js';
import { ed25519 } from '@noble/curves/ed25519.js';
import { ml_dsa44 } from '@noble/post-quantum/ml-dsa.js';

const OUT = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'tests', 'data', 'witness');

const SIGNED_NOTE_LABEL = 'quorvantile.dev/signed-note/v1';
const COMPOSITE_LABEL = 'quorvantile.dev/composite-mldsa-ed25519/v1';
const COMPOSITE_TAG_ED25519_MLDSA44 = 0x01;

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
const seedFor = (label) => sha256(utf8(`quorvantile witness fixture/${label}`));
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
const keyId = (name, bytes) => new DataView(sha256(concat(utf8(name), new Uint8Array([0x0a]), bytes)).buffer).getUint32(0);
const vkey = (name, bytes) => `${name}+${keyId(name, bytes).toString(16).padStart(8, '0')}+${b64(bytes)}`;
const line = (name, bytes, signature) => `\u2014 ${name} ${b64(concat(u32be(keyId(name, bytes)), signature))}\n`;

// --- keys -------------------------------------------------------------------------------------

const ed25519Key = (label) => {
  const secretKey = seedFor(label);
  return { secretKey, publicKey: ed25519.getPublicKey(secretKey) };
};
const mldsaKey = (label) => ml_dsa44.keygen(seedFor(label));

// Composite hybrid log key: 0xFF, the composite label, then the framed key (tag, Ed25519 key,
// ML-DSA-44 key). A line's signature is the framed signature (tag, Ed25519 signature, ML-DSA-44
// signature) over frame(signed-note label, note text), each component signing the framed bytes.
const compositeLog = (name, label) => {
  const ed = ed25519Key(`${label}/ed25519`);
  const pq = mldsaKey(`${label}/ml-dsa-44`);
  const framedKey = concat(new Uint8Array([COMPOSITE_TAG_ED25519_MLDSA44]), ed.publicKey, pq.publicKey);
  const bytes = concat(new Uint8Array([0xff]), utf8(COMPOSITE_LABEL), framedKey);
  const sign = (text) => {
    const context = utf8(SIGNED_NOTE_LABEL);
    const m = concat(u64be(context.length), context, utf8(text));
    const edSig = ed25519.sign(m, ed.secretKey);
    const pqSig = ml_dsa44.sign(m, pq.secretKey, { extraEntropy: false });
    if (!ed25519.verify(edSig, m, ed.publicKey) || !ml_dsa44.verify(pqSig, m, pq.publicKey)) throw new Error('composite');
    return concat(new Uint8Array([COMPOSITE_TAG_ED25519_MLDSA44]), edSig, pqSig);
  };
  return { name, vkey: vkey(name, bytes), signLine: (text) => line(name, bytes, sign(text)) };
};

const ed25519Log = (name, label) => {
  const k = ed25519Key(label);
  const bytes = concat(new Uint8Array([0x01]), k.publicKey);
  return { name, vkey: vkey(name, bytes), signLine: (text) => line(name, bytes, ed25519.sign(utf8(text), k.secretKey)) };
};

// Timestamped cosignatures of the whole tree.
const cosignatureV1 = (timestamp, body) => utf8(`cosignature/v1\ntime ${timestamp}\n${body}`);
const subtreeV1 = (cosigner, timestamp, checkpoint) => {
  const name = utf8(cosigner);
  const origin = utf8(checkpoint.origin);
  return concat(utf8('subtree/v1\n\0'), new Uint8Array([name.length]), name, u64be(timestamp),
    new Uint8Array([origin.length]), origin, u64be(0), u64be(checkpoint.size), checkpoint.root);
};
const ed25519Witness = (name, label) => {
  const k = ed25519Key(label);
  const bytes = concat(new Uint8Array([0x04]), k.publicKey);
  return {
    name, vkey: vkey(name, bytes),
    cosign: (checkpoint, timestamp) => {
      const sig = ed25519.sign(cosignatureV1(timestamp, checkpoint.body), k.secretKey);
      return line(name, bytes, concat(u64be(timestamp), sig));
    },
  };
};
const mldsaWitness = (name, label) => {
  const k = mldsaKey(label);
  const bytes = concat(new Uint8Array([0x06]), k.publicKey);
  return {
    name, vkey: vkey(name, bytes),
    cosign: (checkpoint, timestamp) => {
      const m = subtreeV1(name, timestamp, checkpoint);
      const sig = ml_dsa44.sign(m, k.secretKey, { extraEntropy: false });
      if (!ml_dsa44.verify(sig, m, k.publicKey)) throw new Error('ml-dsa-44 cosignature');
      return line(name, bytes, concat(u64be(timestamp), sig));
    },
  };
};

// --- RFC 6962 tree ------------------------------------------------------------------------------

const leafHash = (data) => sha256(concat(new Uint8Array([0]), data));
const nodeHash = (l, r) => sha256(concat(new Uint8Array([1]), l, r));
const largestPowerOfTwoBelow = (n) => {
  let k = 1;
  while (k * 2 < n) k *= 2;
  return k;
};
const root = (leaves) => {
  if (leaves.length === 0) return sha256(new Uint8Array());
  if (leaves.length === 1) return leaves[0];
  const k = largestPowerOfTwoBelow(leaves.length);
  return nodeHash(root(leaves.slice(0, k)), root(leaves.slice(k)));
};
const inclusionPath = (m, leaves) => {
  if (leaves.length <= 1) return [];
  const k = largestPowerOfTwoBelow(leaves.length);
  return m < k ? [...inclusionPath(m, leaves.slice(0, k)), root(leaves.slice(k))]
               : [...inclusionPath(m - k, leaves.slice(k)), root(leaves.slice(0, k))];
};
const subproof = (m, leaves, complete) => {
  const n = leaves.length;
  if (m === n) return complete ? [] : [root(leaves)];
  const k = largestPowerOfTwoBelow(n);
  return m <= k ? [...subproof(m, leaves.slice(0, k), complete), root(leaves.slice(k))]
                : [...subproof(m - k, leaves.slice(k), false), root(leaves.slice(0, k))];
};
const consistencyProof = (m, leaves) => subproof(m, leaves, true);

// --- fixtures -------------------------------------------------------------------------------------

const ORIGIN = 'witness-fixtures.quorvantile.dev/log';
const log = compositeLog(ORIGIN, 'composite-log');
const ed = [1, 2, 3].map((i) => ed25519Witness(`ed${i}.witness.quorvantile.dev`, `ed25519-witness-${i}`));
const pq = [1, 2, 3].map((i) => mldsaWitness(`pq${i}.witness.quorvantile.dev`, `mldsa44-witness-${i}`));

const leafData = Array.from({ length: 13 }, (_, i) => utf8(`quorvantile witness fixture leaf ${i}`));
const leaves = leafData.map(leafHash);
const checkpointOf = (origin, size) => {
  const r = root(leaves.slice(0, size));
  return { origin, size, root: r, body: `${origin}\n${size}\n${b64(r)}\n` };
};
const T0 = 1767225600;  // 2026-01-01T00:00:00Z
const note = (checkpoint, logLine, cosignatures) => `${checkpoint.body}\n${logLine}${cosignatures.join('')}`;

const files = {};
const newer = checkpointOf(ORIGIN, 13);
const older = checkpointOf(ORIGIN, 7);
files['policy.txt'] =
  `# Composite log; one Ed25519 and one ML-DSA-44 witness, both required.\n` +
  `log ${log.vkey}\n` +
  `witness ed1 ${ed[0].vkey} https://ed1.witness.quorvantile.dev/\n` +
  `witness pq1 ${pq[0].vkey}\n` +
  `witness ed2 ${ed[1].vkey}\n` +
  `group both all ed1 pq1\n` +
  `quorum both\n`;
files['policy_unmet.txt'] =
  `log ${log.vkey}\n` +
  `witness ed1 ${ed[0].vkey}\n` +
  `witness pq1 ${pq[0].vkey}\n` +
  `witness ed2 ${ed[1].vkey}\n` +
  `group three all ed1 pq1 ed2\n` +
  `quorum three\n`;
files['checkpoint_newer.txt'] = note(newer, log.signLine(newer.body), [ed[0].cosign(newer, T0 + 20), pq[0].cosign(newer, T0 + 10)]);
files['checkpoint_older.txt'] = note(older, log.signLine(older.body), [ed[0].cosign(older, T0 + 1), pq[0].cosign(older, T0 + 2)]);
files['consistency_7_13.txt'] = consistencyProof(7, leaves).map((h) => b64(h) + '\n').join('');
const INDEX = 5;
const EXTRA = utf8('fixture extra data');
files['index5.tlog-proof'] =
  `c2sp.org/tlog-proof@v1\nextra ${b64(EXTRA)}\nindex ${INDEX}\n` +
  inclusionPath(INDEX, leaves).map((h) => b64(h) + '\n').join('') + `\n` + files['checkpoint_newer.txt'];
files['fixtures.json'] = JSON.stringify({
  origin: ORIGIN,
  log_key_name: log.name,
  leaf_index: INDEX,
  leaf_data_hex: hex(leafData[INDEX]),
  leaf_hash_hex: hex(leaves[INDEX]),
  extra_hex: hex(EXTRA),
  newer: { size: 13, root_hex: hex(newer.root), counted: ['ed1', 'pq1'], oldest_timestamp: T0 + 10, newest_timestamp: T0 + 20 },
  older: { size: 7, root_hex: hex(older.root), counted: ['ed1', 'pq1'], oldest_timestamp: T0 + 1, newest_timestamp: T0 + 2 },
}, null, 2) + '\n';

// Benchmark inputs: an Ed25519 log with three Ed25519 or three ML-DSA-44 cosignatures, and a
// policy of 32 witnesses in nested groups.
const benchLog = ed25519Log('bench.quorvantile.dev/log', 'bench-log');
const bench = checkpointOf('bench.quorvantile.dev/log', 13);
files['bench_ed25519_policy.txt'] = `log ${benchLog.vkey}\n` +
  ed.map((w, i) => `witness e${i} ${w.vkey}\n`).join('') + `group all3 all e0 e1 e2\nquorum all3\n`;
files['bench_ed25519_checkpoint.txt'] = note(bench, benchLog.signLine(bench.body), ed.map((w, i) => w.cosign(bench, T0 + i)));
files['bench_mldsa_policy.txt'] = `log ${benchLog.vkey}\n` +
  pq.map((w, i) => `witness p${i} ${w.vkey}\n`).join('') + `group all3 all p0 p1 p2\nquorum all3\n`;
files['bench_mldsa_checkpoint.txt'] = note(bench, benchLog.signLine(bench.body), pq.map((w, i) => w.cosign(bench, T0 + i)));
{
  let text = `log ${benchLog.vkey}\n`;
  for (let i = 0; i < 32; i++) text += `witness w${i} ${ed25519Witness(`w${i}.bench.quorvantile.dev`, `bench-witness-${i}`).vkey}\n`;
  for (let g = 0; g < 8; g++) text += `group g${g} 2 w${4 * g} w${4 * g + 1} w${4 * g + 2} w${4 * g + 3}\n`;
  text += `group q 5 g0 g1 g2 g3 g4 g5 g6 g7\nquorum q\n`;
  files['bench_policy_32.txt'] = text;
}

mkdirSync(OUT, { recursive: true });
for (const [name, text] of Object.entries(files)) writeFileSync(join(OUT, name), text);
console.log(`wrote ${Object.keys(files).length} files to ${OUT}`);
