// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Generates tests/data/policy/logged_policy.json: the first signed policy of policies.json logged
// as entry 3 of a five-entry RFC 6962 log, with the log's Ed25519-signed checkpoint, its verifier
// key and the entry's inclusion proof (what a client needs to accept the policy only once it is
// logged). Deterministic: the key from a fixed seed, Ed25519 signing.
//
//   cd tools/policy && npm ci && node generate_logged_policy.mjs
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sha256 } from '@noble/hashes/sha2.js';
import { ed25519 } from '@noble/curves/ed25519.js';

const DATA = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'tests', 'data', 'policy');
const utf8 = (s) => new TextEncoder().encode(s);
const b64 = (b) => Buffer.from(b).toString('base64');
const hex = (b) => Buffer.from(b).toString('hex');
const concat = (...parts) => Uint8Array.from(parts.flatMap((p) => [...p]));

const leafHash = (data) => sha256(concat([0], data));
const nodeHash = (l, r) => sha256(concat([1], l, r));
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

const policy = JSON.parse(readFileSync(join(DATA, 'policies.json'), 'utf8')).cases[0];
const index = 3;
const leaves = [0, 1, 2, 3, 4].map((i) => (i === index ? Buffer.from(policy.posture.rfc6962_leaf_hash, 'hex') : leafHash(utf8(`other entry ${i}`))));

const origin = 'policies.example/log';
const body = `${origin}\n${leaves.length}\n${b64(mth(leaves))}\n`;
const secret = sha256(utf8('logged-policy/ed25519'));
const key = concat([0x01], ed25519.getPublicKey(secret));
const keyId = sha256(concat(utf8(origin), [0x0a], key)).slice(0, 4);
const note = `${body}\n\u2014 ${origin} ${b64(concat(keyId, ed25519.sign(utf8(body), secret)))}\n`;

writeFileSync(join(DATA, 'logged_policy.json'), JSON.stringify({
  policy: policy.name,
  envelope: policy.envelope,
  checkpoint: note,
  vkey: `${origin}+${hex(keyId)}+${b64(key)}`,
  leaf_index: index,
  proof: path(index, leaves).map(hex),
}, null, 1) + '\n');
console.log(`wrote ${join(DATA, 'logged_policy.json')}`);
