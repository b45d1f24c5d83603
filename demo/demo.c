// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

/* A small C client of quorvantile_log: verifies bundled data through the C interface and prints
 * a readable report. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quorvantile_log.h"
#include "quorvantile_witness.h"

static int failures = 0;

static RustBuffer from_bytes(const uint8_t* data, size_t len) {
  RustCallStatus status = {0};
  ForeignBytes bytes = {(int32_t)len, data};
  return ffi_quorvantile_log_rustbuffer_from_bytes(bytes, &status);
}

/* Encodes sequence<u8>: a big-endian i32 count, then the bytes. */
static RustBuffer encode_bytes(const uint8_t* data, size_t len) {
  uint8_t* tmp = malloc(4 + len);
  tmp[0] = (uint8_t)(len >> 24); tmp[1] = (uint8_t)(len >> 16); tmp[2] = (uint8_t)(len >> 8); tmp[3] = (uint8_t)len;
  if (len) memcpy(tmp + 4, data, len);
  RustBuffer buf = from_bytes(tmp, 4 + len);
  free(tmp);
  return buf;
}

/* Encodes sequence<sequence<u8>> of `count` 32-byte hashes. */
static RustBuffer encode_hash_list(uint8_t (*hashes)[32], size_t count) {
  size_t len = 4 + count * 36;
  uint8_t* tmp = malloc(len);
  uint8_t* p = tmp;
  *p++ = (uint8_t)(count >> 24); *p++ = (uint8_t)(count >> 16); *p++ = (uint8_t)(count >> 8); *p++ = (uint8_t)count;
  for (size_t i = 0; i < count; ++i) {
    *p++ = 0; *p++ = 0; *p++ = 0; *p++ = 32;
    memcpy(p, hashes[i], 32);
    p += 32;
  }
  RustBuffer buf = from_bytes(tmp, len);
  free(tmp);
  return buf;
}

static void hex_to_bytes(const char* hex, uint8_t* out, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    unsigned v;
    sscanf(hex + 2 * i, "%2x", &v);
    out[i] = (uint8_t)v;
  }
}

/* Prints the outcome of a call: "verified", or the error message it carried. */
static void report(const char* what, RustCallStatus* status, int expect_ok) {
  int ok = status->code == QV_CALL_SUCCESS;
  if (ok) {
    printf("  %-58s verified\n", what);
  } else {
    const uint8_t* msg = status->error_buf.data;
    size_t len = (size_t)status->error_buf.len;
    if (status->code == QV_CALL_ERROR && len >= 8) { msg += 8; len -= 8; }
    printf("  %-58s rejected: %.*s\n", what, (int)len, (const char*)msg);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(status->error_buf, &free_status);
  }
  if (ok != expect_ok) {
    printf("    ^ unexpected outcome\n");
    ++failures;
  }
}

/* The classic eight-leaf RFC 6962 test tree. */
static const char* kRoot8 = "5dc9da79a70659a9ad559cb701ded9a2ab9d823aad2f4960cfe370eff4604328";
static const char* kRoot4 = "d37ee418976dd95753c1c73862b9398fa2a2cf9b4ff0fdfe8b30cd95209614b7";
static const char* kLeaf0Hash = "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d";
static const char* kInclusionLeaf0[3] = {
    "96a296d224f285c67bee93c30f8a309157f0daa35dc5b87e410b78630a09cfc7",
    "5f083f0a1a33ca076a95279832580db3e0ef4584bdff1f54c8a360f50de3031e",
    "6b47aaf29ee3c2af9af889bc1fb9254dabd31177f16232dd6aab035ca39bf6e4"};
static const char* kConsistency4to8[1] = {
    "6b47aaf29ee3c2af9af889bc1fb9254dabd31177f16232dd6aab035ca39bf6e4"};

static void demo_merkle(void) {
  uint8_t root8[32], root4[32], leaf[32], path[3][32], cons[1][32];
  hex_to_bytes(kRoot8, root8, 32);
  hex_to_bytes(kRoot4, root4, 32);
  hex_to_bytes(kLeaf0Hash, leaf, 32);
  for (int i = 0; i < 3; ++i) hex_to_bytes(kInclusionLeaf0[i], path[i], 32);
  hex_to_bytes(kConsistency4to8[0], cons[0], 32);

  printf("RFC 6962 proofs over the eight-leaf test tree\n");
  RustCallStatus status = {0};
  uniffi_quorvantile_log_fn_func_verify_inclusion(0, 8, encode_bytes(leaf, 32), encode_hash_list(path, 3),
                                                  encode_bytes(root8, 32), &status);
  report("inclusion of leaf 0 in tree of size 8", &status, 1);

  memset(&status, 0, sizeof status);
  uint8_t wrong[32];
  memcpy(wrong, root8, 32);
  wrong[0] ^= 1;
  uniffi_quorvantile_log_fn_func_verify_inclusion(0, 8, encode_bytes(leaf, 32), encode_hash_list(path, 3),
                                                  encode_bytes(wrong, 32), &status);
  report("inclusion against a root with one flipped bit", &status, 0);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_verify_consistency(4, 8, encode_hash_list(cons, 1), encode_bytes(root4, 32),
                                                    encode_bytes(root8, 32), &status);
  report("consistency of tree 4 with tree 8", &status, 1);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_verify_consistency(8, 4, encode_hash_list(cons, 1), encode_bytes(root8, 32),
                                                    encode_bytes(root4, 32), &status);
  report("consistency from tree 8 back to tree 4", &status, 0);
}

/* Reads a bundled file whole; exits with a message when it is missing. */
static char* read_data_file(const char* name, size_t* len) {
  char path[1024];
  snprintf(path, sizeof path, "%s/%s", QV_DEMO_DATA_DIR, name);
  FILE* f = fopen(path, "rb");
  if (!f) {
    fprintf(stderr, "cannot open %s\n", path);
    exit(2);
  }
  size_t cap = 4096, n = 0;
  char* buf = malloc(cap + 1);
  size_t got;
  while ((got = fread(buf + n, 1, cap - n, f)) > 0) {
    n += got;
    if (n == cap) {
      cap *= 2;
      buf = realloc(buf, cap + 1);
    }
  }
  fclose(f);
  buf[n] = '\0';
  *len = n;
  return buf;
}

static void put_be32(uint8_t* p, size_t v) {
  p[0] = (uint8_t)(v >> 24); p[1] = (uint8_t)(v >> 16); p[2] = (uint8_t)(v >> 8); p[3] = (uint8_t)v;
}

/* Encodes sequence<string> from the non-empty lines of `text`. */
static RustBuffer encode_lines(const char* text, size_t len) {
  uint8_t* tmp = malloc(4 + 2 * len + 4);
  size_t count = 0, out = 4, start = 0;
  for (size_t i = 0; i <= len; ++i) {
    if (i == len || text[i] == '\n') {
      if (i > start) {
        put_be32(tmp + out, i - start);
        memcpy(tmp + out + 4, text + start, i - start);
        out += 4 + (i - start);
        ++count;
      }
      start = i + 1;
    }
  }
  put_be32(tmp, count);
  RustBuffer buf = from_bytes(tmp, out);
  free(tmp);
  return buf;
}

static RustBuffer text_arg(const char* text, size_t len) { return from_bytes((const uint8_t*)text, len); }

static void demo_checkpoint(void) {
  size_t note_len, keys_len, proof_len;
  char* note = read_data_file("checkpoint.note", &note_len);
  char* keys = read_data_file("checkpoint.vkeys", &keys_len);
  char* proof_text = read_data_file("inclusion.proof", &proof_len);

  /* inclusion.proof: leaf index, entry text, leaf hash, then the proof hashes, one per line. */
  unsigned long long index = strtoull(proof_text, NULL, 10);
  char* line = strchr(proof_text, '\n') + 1;
  char* entry_end = strchr(line, '\n');
  *entry_end = '\0';
  const char* entry = line;
  line = entry_end + 1;
  uint8_t leaf[32], path[16][32];
  hex_to_bytes(line, leaf, 32);
  size_t path_len = 0;
  for (line = strchr(line, '\n') + 1; *line && path_len < 16; line = strchr(line, '\n') + 1) {
    hex_to_bytes(line, path[path_len++], 32);
  }

  printf("\nA signed checkpoint (one Ed25519 and one hybrid Ed25519 + ML-DSA-65 signature)\n");
  RustCallStatus status = {0};
  uint32_t count = uniffi_quorvantile_log_fn_func_verify_signed_note(text_arg(note, note_len),
                                                                    encode_lines(keys, keys_len), &status);
  char what[128];
  snprintf(what, sizeof what, "signed note with both keys trusted (%u lines verified)", count);
  report(what, &status, 1);

  memset(&status, 0, sizeof status);
  RustBuffer head = uniffi_quorvantile_log_fn_func_checkpoint_verify(text_arg(note, note_len),
                                                                     encode_lines(keys, keys_len), &status);
  if (status.code == QV_CALL_SUCCESS) {
    /* CheckpointHead: origin (string), size (u64), ... */
    uint32_t origin_len = (uint32_t)head.data[0] << 24 | (uint32_t)head.data[1] << 16 | (uint32_t)head.data[2] << 8 | head.data[3];
    unsigned long long size = 0;
    for (int i = 0; i < 8; ++i) size = size << 8 | head.data[4 + origin_len + i];
    snprintf(what, sizeof what, "checkpoint of %.*s at size %llu", (int)origin_len, (const char*)head.data + 4, size);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(head, &free_status);
  } else {
    snprintf(what, sizeof what, "checkpoint");
  }
  report(what, &status, 1);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(text_arg(note, note_len), encode_lines(keys, keys_len),
                                                            index, encode_bytes(leaf, 32),
                                                            encode_hash_list(path, path_len), &status);
  snprintf(what, sizeof what, "inclusion of \"%s\" at index %llu", entry, index);
  report(what, &status, 1);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(text_arg(note, note_len), encode_lines(keys, keys_len),
                                                            index + 1, encode_bytes(leaf, 32),
                                                            encode_hash_list(path, path_len), &status);
  snprintf(what, sizeof what, "the same entry claimed at index %llu", index + 1);
  report(what, &status, 0);

  /* The tree size line changed after signing. */
  char* tampered = malloc(note_len);
  memcpy(tampered, note, note_len);
  char* size_line = strchr(tampered, '\n') + 1;
  *size_line = *size_line == '9' ? '8' : (char)(*size_line + 1);
  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_checkpoint_verify(text_arg(tampered, note_len), encode_lines(keys, keys_len), &status);
  report("checkpoint whose tree size was changed after signing", &status, 0);
  free(tampered);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_checkpoint_verify(text_arg(note, note_len), encode_lines("", 0), &status);
  report("checkpoint with no trusted key", &status, 0);

  free(note);
  free(keys);
  free(proof_text);
}

/* Decodes one hex line starting at *cursor into a fresh buffer and moves *cursor to the next line. */
static uint8_t* next_hex_line(char** cursor, size_t* len) {
  char* line = *cursor;
  char* end = strchr(line, '\n');
  size_t chars = end ? (size_t)(end - line) : strlen(line);
  *len = chars / 2;
  uint8_t* out = malloc(*len ? *len : 1);
  hex_to_bytes(line, out, *len);
  *cursor = end ? end + 1 : line + chars;
  return out;
}

static char* next_text_line(char** cursor) {
  char* line = *cursor;
  char* end = strchr(line, '\n');
  *end = '\0';
  *cursor = end + 1;
  return line;
}

/* coniks.txt: namespace, VRF public key, directory root, then an identity with its presence proof
 * and an identity with its absence proof (hex, one per line). */
static void demo_coniks(void) {
  size_t file_len;
  char* file = read_data_file("coniks.txt", &file_len);
  char* cursor = file;
  const char* ns = next_text_line(&cursor);
  size_t key_len, root_len, id_len, proof_len, absent_len, absence_len;
  uint8_t* key = next_hex_line(&cursor, &key_len);
  uint8_t* root = next_hex_line(&cursor, &root_len);
  uint8_t* id = next_hex_line(&cursor, &id_len);
  uint8_t* proof = next_hex_line(&cursor, &proof_len);
  uint8_t* absent = next_hex_line(&cursor, &absent_len);
  uint8_t* absence = next_hex_line(&cursor, &absence_len);

  printf("\nA CONIKS directory of 24 entries in namespace %s\n", ns);
  RustCallStatus status = {0};
  RustBuffer value = uniffi_quorvantile_log_fn_func_coniks_verify_lookup(
      text_arg(ns, strlen(ns)), encode_bytes(key, key_len), encode_bytes(root, root_len), encode_bytes(id, id_len),
      encode_bytes(proof, proof_len), &status);
  char what[160];
  if (status.code == QV_CALL_SUCCESS) {
    snprintf(what, sizeof what, "lookup of %.*s -> \"%.*s\"", (int)id_len, (const char*)id, (int)value.len - 4,
             (const char*)value.data + 4);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(value, &free_status);
  } else {
    snprintf(what, sizeof what, "lookup of %.*s", (int)id_len, (const char*)id);
  }
  report(what, &status, 1);

  proof[proof_len - 70] ^= 0x01; /* one byte of a value, opening or sibling */
  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_coniks_verify_lookup(text_arg(ns, strlen(ns)), encode_bytes(key, key_len),
                                                      encode_bytes(root, root_len), encode_bytes(id, id_len),
                                                      encode_bytes(proof, proof_len), &status);
  report("the same lookup with one proof byte changed", &status, 0);

  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_coniks_verify_absence(text_arg(ns, strlen(ns)), encode_bytes(key, key_len),
                                                       encode_bytes(root, root_len), encode_bytes(absent, absent_len),
                                                       encode_bytes(absence, absence_len), &status);
  snprintf(what, sizeof what, "absence of %.*s", (int)absent_len, (const char*)absent);
  report(what, &status, 1);

  absence[absence_len - 1] ^= 0x80; /* the last byte of the authentication path */
  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_coniks_verify_absence(text_arg(ns, strlen(ns)), encode_bytes(key, key_len),
                                                       encode_bytes(root, root_len), encode_bytes(absent, absent_len),
                                                       encode_bytes(absence, absence_len), &status);
  report("the same absence proof with one path byte changed", &status, 0);

  free(key); free(root); free(id); free(proof); free(absent); free(absence);
  free(file);
}

/* key_history.txt: an entry (seq, ts_ms, enc_x25519, enc_pq, signing_pub, previous entry hash),
 * then its index in a small log, the log size, the root and the inclusion proof. */
static void demo_key_history(void) {
  size_t file_len;
  char* file = read_data_file("key_history.txt", &file_len);
  char* cursor = file;
  unsigned long long seq = strtoull(next_text_line(&cursor), NULL, 10);
  unsigned long long ts_ms = strtoull(next_text_line(&cursor), NULL, 10);
  size_t x_len, pq_len, sig_len, prev_len, root_len;
  uint8_t* x = next_hex_line(&cursor, &x_len);
  uint8_t* pq = next_hex_line(&cursor, &pq_len);
  uint8_t* sig = next_hex_line(&cursor, &sig_len);
  uint8_t* prev = next_hex_line(&cursor, &prev_len);
  unsigned long long index = strtoull(next_text_line(&cursor), NULL, 10);
  unsigned long long size = strtoull(next_text_line(&cursor), NULL, 10);
  uint8_t* root = next_hex_line(&cursor, &root_len);
  uint8_t path[16][32];
  size_t path_len = 0;
  while (*cursor && path_len < 16) {
    hex_to_bytes(cursor, path[path_len++], 32);
    cursor = strchr(cursor, '\n') + 1;
  }

  printf("\nA key-history entry (seq %llu, %zu-byte post-quantum key) in a log of %llu leaves\n", seq, pq_len, size);
  /* optional<sequence<u8>>: tag 1, then the encoded bytes. */
  uint8_t* prev_arg = malloc(5 + prev_len);
  prev_arg[0] = 1;
  put_be32(prev_arg + 1, prev_len);
  memcpy(prev_arg + 5, prev, prev_len);
  RustCallStatus status = {0};
  RustBuffer leaf = uniffi_quorvantile_log_fn_func_key_history_v1_rfc6962_leaf_hash(
      seq, ts_ms, encode_bytes(x, x_len), encode_bytes(pq, pq_len), encode_bytes(sig, sig_len),
      from_bytes(prev_arg, 5 + prev_len), &status);
  report("leaf hash of the entry's canonical bytes", &status, 1);
  if (status.code == QV_CALL_SUCCESS) {
    printf("    leaf hash ");
    for (size_t i = 4; i < leaf.len; ++i) printf("%02x", leaf.data[i]);
    printf("\n");
    memset(&status, 0, sizeof status);
    uniffi_quorvantile_log_fn_func_verify_inclusion(index, size, encode_bytes(leaf.data + 4, (size_t)leaf.len - 4),
                                                    encode_hash_list(path, path_len), encode_bytes(root, root_len),
                                                    &status);
    char what[128];
    snprintf(what, sizeof what, "inclusion of that leaf at index %llu", index);
    report(what, &status, 1);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(leaf, &free_status);
  }
  free(prev_arg);
  free(x); free(pq); free(sig); free(prev); free(root);
  free(file);
}

/* Key transparency under the default suite: a search for a present and an absent label and a
 * monitoring proof verify against the bundled combined root; a tampered search proof does not. */
static RustBuffer text_bytes(const char* text) { return from_bytes((const uint8_t*)text, strlen(text)); }

static void keytrans_search(const char* what, const char* label, const uint8_t* vrf, size_t vrf_len,
                            const uint8_t* root, const uint8_t* proof, size_t proof_len, int expect_ok) {
  RustCallStatus status = {0};
  RustBuffer out = uniffi_quorvantile_log_fn_func_keytrans_verify_search(
      text_bytes("demo/keytrans/v1"), encode_bytes(vrf, vrf_len), encode_bytes(root, 32),
      encode_bytes((const uint8_t*)label, strlen(label)), encode_bytes(proof, proof_len), &status);
  report(what, &status, expect_ok);
  if (status.code == QV_CALL_SUCCESS) {
    /* SearchResult: present (one byte), then value as optional<sequence<u8>>. */
    if (out.len >= 1 && out.data[0] == 1 && out.len >= 6) {
      printf("    present, value of %u bytes\n", (unsigned)out.data[5] | (unsigned)out.data[4] << 8);
    } else {
      printf("    absent\n");
    }
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(out, &free_status);
  }
}

static void demo_keytrans(void) {
  printf("\nKey-transparency proofs (default suite)\n");
  size_t vrf_len, root_len, alice_len, mallory_len, monitor_len;
  char* vrf = read_data_file("keytrans.vrf_public", &vrf_len);
  char* root = read_data_file("keytrans.root", &root_len);
  char* alice = read_data_file("keytrans_search_alice.proof", &alice_len);
  char* mallory = read_data_file("keytrans_search_mallory.proof", &mallory_len);
  char* monitor = read_data_file("keytrans_monitor_alice_3.proof", &monitor_len);
  const uint8_t* v = (const uint8_t*)vrf;
  const uint8_t* r = (const uint8_t*)root;

  keytrans_search("search for a present label (alice)", "alice", v, vrf_len, r, (const uint8_t*)alice, alice_len, 1);
  keytrans_search("search for an absent label (mallory)", "mallory", v, vrf_len, r, (const uint8_t*)mallory,
                  mallory_len, 1);

  RustCallStatus status = {0};
  uniffi_quorvantile_log_fn_func_keytrans_verify_monitor(
      text_bytes("demo/keytrans/v1"), encode_bytes(v, vrf_len), encode_bytes(r, 32),
      encode_bytes((const uint8_t*)"alice", 5), encode_bytes((const uint8_t*)monitor, monitor_len), &status);
  report("monitoring of alice up to version 3", &status, 1);

  alice[alice_len - 3] ^= 1; /* a byte of the revealed opening */
  keytrans_search("search proof with a tampered opening", "alice", v, vrf_len, r, (const uint8_t*)alice, alice_len, 0);

  free(vrf);
  free(root);
  free(alice);
  free(mallory);
  free(monitor);
}

/* Standard base64 (padded), enough for the demo's tokens. */
static const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

static size_t b64_decode(const char* in, size_t len, uint8_t* out) {
  size_t n = 0;
  uint32_t acc = 0;
  int bits = 0;
  for (size_t i = 0; i < len && in[i] != '='; ++i) {
    const char* p = strchr(kB64, in[i]);
    if (!p || !*p) break;
    acc = acc << 6 | (uint32_t)(p - kB64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out[n++] = (uint8_t)(acc >> bits);
    }
  }
  return n;
}

static char* b64_encode(const uint8_t* in, size_t len) {
  char* out = malloc(4 * ((len + 2) / 3) + 1);
  size_t o = 0;
  for (size_t i = 0; i < len; i += 3) {
    uint32_t v = (uint32_t)in[i] << 16 | (i + 1 < len ? (uint32_t)in[i + 1] << 8 : 0) | (i + 2 < len ? in[i + 2] : 0);
    out[o++] = kB64[v >> 18 & 63];
    out[o++] = kB64[v >> 12 & 63];
    out[o++] = i + 1 < len ? kB64[v >> 6 & 63] : '=';
    out[o++] = i + 2 < len ? kB64[v & 63] : '=';
  }
  out[o] = '\0';
  return out;
}

/* The base64 blob after the last space of the signature line of `key_name` in the note, decoded:
 * a 4-byte key id, then the signature. */
static size_t note_signature(const char* note, const char* key_name, uint8_t* out) {
  char needle[128];
  snprintf(needle, sizeof needle, "\xE2\x80\x94 %s ", key_name);
  const char* line = strstr(note, needle);
  if (!line) return 0;
  line += strlen(needle);
  return b64_decode(line, strcspn(line, "\n"), out);
}

static void demo_policy(void) {
  size_t env_len, note_len, keys_len;
  char* envelope = read_data_file("namespace_policy.bin", &env_len);
  char* note = read_data_file("checkpoint.note", &note_len);
  char* keys = read_data_file("checkpoint.vkeys", &keys_len);

  printf("\nThe signed namespace policy of demo.example, enforced against the demo checkpoint\n");
  RustCallStatus status = {0};
  RustBuffer posture =
      uniffi_quorvantile_log_fn_func_signed_policy_verify(encode_bytes((const uint8_t*)envelope, env_len), &status);
  char what[160];
  if (status.code == QV_CALL_SUCCESS) {
    /* PolicyPosture: namespace (string), policy_schema_version (u32), then six i32 variant
     * numbers: security_level (1 Cat3, 2 Cat5), checkpoint_suite (1 Hybrid, 2 HybridMatched,
     * 3 PureCnsa2), ... */
    const uint8_t* d = posture.data;
    uint32_t ns_len = (uint32_t)d[0] << 24 | (uint32_t)d[1] << 16 | (uint32_t)d[2] << 8 | d[3];
    const uint8_t* v = d + 4 + ns_len + 4;
    static const char* levels[] = {"?", "Cat3", "Cat5"};
    static const char* suites[] = {"?", "Hybrid", "HybridMatched", "PureCnsa2"};
    snprintf(what, sizeof what, "policy of %.*s declaring %s/%s", (int)ns_len, (const char*)d + 4,
             suites[v[7] < 4 ? v[7] : 0], levels[v[3] < 3 ? v[3] : 0]);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(posture, &free_status);
  } else {
    snprintf(what, sizeof what, "signed namespace policy");
  }
  report(what, &status, 1);

  /* The checkpoint's hybrid signature line: drop the key id, pass the framed signature. */
  uint8_t* blob = malloc(note_len);
  size_t blob_len = note_signature(note, "demo.example/log-pq", blob);
  char* signature = b64_encode(blob + 4, blob_len > 4 ? blob_len - 4 : 0);
  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signature(
      encode_bytes((const uint8_t*)envelope, env_len), text_arg(signature, strlen(signature)), &status);
  report("checkpoint's hybrid signature against the declared suite", &status, 1);

  /* The checkpoint's Ed25519 verifier key: its key bytes (type byte 0x01 and 32 bytes) are not a
   * framed hybrid key. */
  const char* ed_key = strchr(strchr(strtok(keys, "\n"), '+') + 1, '+') + 1; /* name+id+key */
  uint8_t key_bytes[64];
  size_t key_len = b64_decode(ed_key, strlen(ed_key), key_bytes);
  char* key_token = b64_encode(key_bytes, key_len);
  memset(&status, 0, sizeof status);
  uniffi_quorvantile_log_fn_func_policy_enforce_checkpoint_signing_key(
      encode_bytes((const uint8_t*)envelope, env_len), text_arg(key_token, strlen(key_token)), &status);
  report("checkpoint's Ed25519 signing key against the declared suite", &status, 0);

  free(key_token);
  free(signature);
  free(blob);
  free(envelope);
  free(note);
  free(keys);
}

/* --- witness cosignatures, quorum policies and proof bundles (libquorvantile_witness) --- */

static RustBuffer witness_text(const char* text, size_t len) {
  RustCallStatus status = {0};
  ForeignBytes bytes = {(int32_t)len, (const uint8_t*)text};
  return ffi_quorvantile_witness_rustbuffer_from_bytes(bytes, &status);
}

/* A cursor over an encoded record returned by the witness component. */
typedef struct {
  const uint8_t* p;
  size_t left;
} Cursor;

static uint64_t take_be(Cursor* c, size_t n) {
  uint64_t v = 0;
  if (c->left < n) { c->left = 0; return 0; }
  for (size_t i = 0; i < n; ++i) v = (v << 8) | c->p[i];
  c->p += n;
  c->left -= n;
  return v;
}

/* A string or byte sequence: returns its bytes and length, and moves past it. */
static const char* take_text(Cursor* c, size_t* len) {
  *len = (size_t)take_be(c, 4);
  if (*len > c->left) { c->left = 0; *len = 0; return ""; }
  const char* s = (const char*)c->p;
  c->p += *len;
  c->left -= *len;
  return s;
}

/* Prints a CosignedCheckpoint: the log, the tree, the witnesses that counted and those rejected. */
static void print_cosigned(Cursor* c) {
  size_t len, n;
  const char* origin = take_text(c, &len);
  printf("    log %.*s, tree size %llu\n", (int)len, origin, (unsigned long long)take_be(c, 8));
  take_text(c, &len);                                            /* root */
  for (n = (size_t)take_be(c, 4); n > 0; --n) take_text(c, &len); /* extension lines */
  take_text(c, &len);                                            /* log key name */
  n = (size_t)take_be(c, 4);
  printf("    %zu witness(es) counted:", n);
  for (; n > 0; --n) {
    const char* name = take_text(c, &len);
    printf(" %.*s", (int)len, name);
  }
  printf("\n");
  for (n = (size_t)take_be(c, 4); n > 0; --n) {
    size_t reason_len;
    const char* name = take_text(c, &len);
    const char* reason = take_text(c, &reason_len);
    printf("    not counted: %.*s (%.*s)\n", (int)len, name, (int)reason_len, reason);
  }
  /* Both timestamps are present exactly when some witness counted. */
  if (take_be(c, 1) == 1) {
    const uint64_t oldest = take_be(c, 8);
    const uint64_t newest = take_be(c, 1) == 1 ? take_be(c, 8) : oldest;
    printf("    oldest cosignature at %llu, newest at %llu\n", (unsigned long long)oldest, (unsigned long long)newest);
  }
}

/* Like report(), for the witness component, whose buffers it releases itself. */
static void witness_report(const char* what, RustCallStatus* status, RustBuffer result, int expect_ok,
                           int is_proof) {
  if (status->code == QV_CALL_SUCCESS) {
    printf("  %-58s verified\n", what);
    Cursor c = {result.data, (size_t)result.len};
    if (is_proof) {
      printf("    leaf %llu included", (unsigned long long)take_be(&c, 8));
      if (take_be(&c, 1) == 1) {
        size_t len;
        const char* extra = take_text(&c, &len);
        printf(", extra data \"%.*s\" (unauthenticated)", (int)len, extra);
      }
      printf("\n");
    }
    print_cosigned(&c);
    RustCallStatus free_status = {0};
    ffi_quorvantile_witness_rustbuffer_free(result, &free_status);
  } else {
    const uint8_t* msg = status->error_buf.data;
    size_t len = (size_t)status->error_buf.len;
    if (status->code == QV_CALL_ERROR && len >= 8) { msg += 8; len -= 8; }
    printf("  %-58s rejected: %.*s\n", what, (int)len, (const char*)msg);
    RustCallStatus free_status = {0};
    ffi_quorvantile_witness_rustbuffer_free(status->error_buf, &free_status);
  }
  if ((status->code == QV_CALL_SUCCESS) != expect_ok) {
    printf("    ^ unexpected outcome\n");
    ++failures;
  }
}

static void verify_cosigned(const char* what, const char* note_file, const char* policy_file, int expect_ok) {
  size_t note_len, policy_len;
  char* note = read_data_file(note_file, &note_len);
  char* policy = read_data_file(policy_file, &policy_len);
  RustCallStatus status = {0};
  RustBuffer out = uniffi_quorvantile_witness_fn_func_checkpoint_verify_cosigned(
      witness_text(note, note_len), witness_text(policy, policy_len), &status);
  witness_report(what, &status, out, expect_ok, 0);
  free(note);
  free(policy);
}

static void demo_witness(void) {
  printf("\nWitness cosignatures and quorum policies (libquorvantile_witness, contract version %u)\n",
         ffi_quorvantile_witness_uniffi_contract_version());
  verify_cosigned("real checkpoint, four real witnesses, 3-of-4 policy", "witness/arche2025h1.checkpoint",
                  "witness/arche2025h1_3of4.policy", 1);
  verify_cosigned("same checkpoint, policy also requiring a fifth witness", "witness/arche2025h1.checkpoint",
                  "witness/arche2025h1_unmet.policy", 0);
  verify_cosigned("hybrid-signed checkpoint, Ed25519 + ML-DSA-44 witnesses", "witness/hybrid.checkpoint",
                  "witness/hybrid.policy", 1);
  verify_cosigned("hybrid-signed checkpoint, quorum of three not met", "witness/hybrid.checkpoint",
                  "witness/hybrid_unmet.policy", 0);

  size_t proof_len, policy_len, hash_len;
  char* proof = read_data_file("witness/index5.tlog-proof", &proof_len);
  char* policy = read_data_file("witness/hybrid.policy", &policy_len);
  char* hash_hex = read_data_file("witness/index5.leaf_hash", &hash_len);
  uint8_t leaf_hash[32], other_hash[32];
  hex_to_bytes(hash_hex, leaf_hash, 32);
  memcpy(other_hash, leaf_hash, 32);
  other_hash[31] ^= 1;
  for (int i = 0; i < 2; ++i) {
    uint8_t encoded[36];
    put_be32(encoded, 32);
    memcpy(encoded + 4, i == 0 ? leaf_hash : other_hash, 32);
    RustCallStatus status = {0};
    RustBuffer out = uniffi_quorvantile_witness_fn_func_tlog_proof_verify(
        witness_text(proof, proof_len), witness_text(policy, policy_len),
        witness_text((const char*)encoded, sizeof encoded), &status);
    witness_report(i == 0 ? "proof bundle: leaf 5 of the hybrid-signed log" : "proof bundle with another leaf's hash",
                   &status, out, i == 0, 1);
  }
  free(proof);
  free(policy);
  free(hash_hex);
}

int main(void) {
  printf("quorvantile_log demo (contract version %u)\n\n", ffi_quorvantile_log_uniffi_contract_version());
  demo_merkle();
  demo_checkpoint();
  demo_coniks();
  demo_key_history();
  demo_keytrans();
  demo_policy();
  demo_witness();
  printf("\n%s\n", failures == 0 ? "all outcomes as expected" : "SOME OUTCOMES UNEXPECTED");
  return failures == 0 ? 0 : 1;
}
