// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Generates the demo's bundled checkpoint under demo/data/: a seven-entry log whose checkpoint
// carries an Ed25519 line and a tag-0x02 hybrid (Ed25519 + ML-DSA-65) line, the two verifier keys,
// and the inclusion proof of one entry. Deterministic: keys from fixed seeds, deterministic signing.
//
//   cd tools/notes && npm ci && node generate_demo_checkpoint.mjs
import { mkdirSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sha256 } from '@noble/hashes/sha2.js';
import { ed25519 } from '@noble/curves/ed25519.js';
import { ml_dsa65 } from '@noble/post-quantum/ml-dsa.js';

const OUT = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'demo', 'data');
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
const seedFor = (label) => sha256(utf8(label));
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
const idHex = (id) => id.toString(16).padStart(8, '0');

// RFC 6962 tree over the entries.
const leafHash = (data) => sha256(concat(new Uint8Array([0]), data));
const nodeHash = (l, r) => sha256(concat(new Uint8Array([1]), l, r));
const split = (n) => {
  let k = 1;
  while (k * 2 < n) k *= 2;
  return k;
};
const mth = (leaves) => (leaves.length === 1 ? leaves[0] : nodeHash(mth(leaves.slice(0, split(leaves.length))), mth(leaves.slice(split(leaves.length)))));
const path = (m, leaves) => {
  if (leaves.length === 1) return [];
  const k = split(leaves.length);
  return m < k ? [...path(m, leaves.slice(0, k)), mth(leaves.slice(k))] : [...path(m - k, leaves.slice(k)), mth(leaves.slice(0, k))];
};

const entries = Array.from({ length: 7 }, (_, i) => `demo entry ${i}`);
const leaves = entries.map((e) => leafHash(utf8(e)));
const origin = 'demo.example/log';
const text = `${origin}\n${leaves.length}\n${b64(mth(leaves))}\n`;

// Ed25519 line.
const edSecret = seedFor('demo/ed25519');
const edKey = concat(new Uint8Array([0x01]), ed25519.getPublicKey(edSecret));
const edName = 'demo.example/log';
const edId = keyId(edName, edKey);
const edLine = `\u2014 ${edName} ${b64(concat(u32be(edId), ed25519.sign(utf8(text), edSecret)))}\n`;

// Hybrid tag-0x02 line over frame(signed-note label, text).
const hySecret = seedFor('demo/hybrid/ed25519');
const ml = ml_dsa65.keygen(seedFor('demo/hybrid/ml-dsa-65'));
const framed = concat(u64be(SIGNED_NOTE_LABEL.length), utf8(SIGNED_NOTE_LABEL), utf8(text));
const hySig = concat(new Uint8Array([0x02]), ed25519.sign(framed, hySecret), ml_dsa65.sign(framed, ml.secretKey, { extraEntropy: false }));
const hyPublic = concat(new Uint8Array([0x02]), ed25519.getPublicKey(hySecret), ml.publicKey);
const hyKey = concat(new Uint8Array([0xff]), utf8(COMPOSITE_LABEL), hyPublic);
const hyName = 'demo.example/log-pq';
const hyId = keyId(hyName, hyKey);
const hyLine = `\u2014 ${hyName} ${b64(concat(u32be(hyId), hySig))}\n`;

const index = 5;
mkdirSync(OUT, { recursive: true });
writeFileSync(join(OUT, 'checkpoint.note'), text + '\n' + edLine + hyLine);
writeFileSync(join(OUT, 'checkpoint.vkeys'), `${edName}+${idHex(edId)}+${b64(edKey)}\n${hyName}+${idHex(hyId)}+${b64(hyKey)}\n`);
writeFileSync(
  join(OUT, 'inclusion.proof'),
  [`${index}`, entries[index], hex(leaves[index]), ...path(index, leaves).map(hex)].join('\n') + '\n',
);
console.log(`wrote demo data to ${OUT}`);
