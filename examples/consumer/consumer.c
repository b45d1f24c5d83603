// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

/* A program built against an installed quorvantile_log: verifies a bundled signed checkpoint and
 * an inclusion proof against it, and prints the outcome.
 *
 *   consumer DATA_DIR    (DATA_DIR holds checkpoint.note, checkpoint.vkeys, inclusion.proof)
 *
 * Exit status: 0 when both verify, 1 when either is rejected, 2 when the data cannot be read. */
#include <quorvantile_log.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  uint8_t* data;
  size_t len;
} Bytes;

static void die(const char* what, const char* detail) {
  fprintf(stderr, "consumer: %s%s\n", what, detail);
  exit(2);
}

static Bytes read_file(const char* dir, const char* name) {
  char path[4096];
  snprintf(path, sizeof path, "%s/%s", dir, name);
  FILE* f = fopen(path, "rb");
  if (!f) die("cannot open ", path);
  Bytes out = {NULL, 0};
  size_t cap = 0;
  for (;;) {
    if (out.len == cap) {
      cap = cap ? 2 * cap : 4096;
      out.data = realloc(out.data, cap + 1);
      if (!out.data) die("out of memory", "");
    }
    size_t got = fread(out.data + out.len, 1, cap - out.len, f);
    if (got == 0) break;
    out.len += got;
  }
  fclose(f);
  out.data[out.len] = '\0';
  return out;
}

static void put_be32(uint8_t* p, size_t v) {
  p[0] = (uint8_t)(v >> 24);
  p[1] = (uint8_t)(v >> 16);
  p[2] = (uint8_t)(v >> 8);
  p[3] = (uint8_t)v;
}

/* Hands `len` bytes to the library as an argument buffer. */
static RustBuffer to_buffer(const uint8_t* data, size_t len) {
  RustCallStatus status = {0};
  ForeignBytes bytes = {(int32_t)len, data};
  RustBuffer buf = ffi_quorvantile_log_rustbuffer_from_bytes(bytes, &status);
  if (status.code != QV_CALL_SUCCESS) die("cannot allocate an argument buffer", "");
  return buf;
}

/* Decodes `n` hex digits into out[0 .. n/2). */
static void decode_hex(const char* hex, size_t n, uint8_t* out) {
  if (n % 2 != 0) die("odd-length hex line in inclusion.proof", "");
  for (size_t k = 0; k < n / 2; ++k) {
    unsigned v;
    if (sscanf(hex + 2 * k, "%2x", &v) != 1) die("bad hex in inclusion.proof", "");
    out[k] = (uint8_t)v;
  }
}

/* Encodes sequence<string> from the non-empty lines of `text`, or sequence<sequence<u8>> from its
 * hex lines (`hex` set): a big-endian count, then each element with its big-endian length. */
static RustBuffer encode_lines(const Bytes* text, int hex) {
  uint8_t* out = malloc(4 + 2 * text->len + 4);
  if (!out) die("out of memory", "");
  size_t count = 0, at = 4, start = 0;
  for (size_t i = 0; i <= text->len; ++i) {
    if (i < text->len && text->data[i] != '\n') continue;
    size_t n = i - start;
    if (n > 0) {
      const char* line = (const char*)text->data + start;
      if (hex) {
        decode_hex(line, n, out + at + 4);
        put_be32(out + at, n / 2);
        at += 4 + n / 2;
      } else {
        put_be32(out + at, n);
        memcpy(out + at + 4, line, n);
        at += 4 + n;
      }
      ++count;
    }
    start = i + 1;
  }
  put_be32(out, count);
  RustBuffer buf = to_buffer(out, at);
  free(out);
  return buf;
}

/* Prints "verified" or the message the library returned; returns 1 when verified. */
static int report(const char* what, RustCallStatus* status) {
  if (status->code == QV_CALL_SUCCESS) {
    printf("%-44s verified\n", what);
    return 1;
  }
  const uint8_t* msg = status->error_buf.data;
  size_t len = (size_t)status->error_buf.len;
  if (status->code == QV_CALL_ERROR && len >= 8) { /* VerifyError: variant, then message length */
    msg += 8;
    len -= 8;
  }
  printf("%-44s rejected: %.*s\n", what, (int)len, (const char*)msg);
  RustCallStatus free_status = {0};
  ffi_quorvantile_log_rustbuffer_free(status->error_buf, &free_status);
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  Bytes note = read_file(argv[1], "checkpoint.note");
  Bytes keys = read_file(argv[1], "checkpoint.vkeys");
  Bytes proof = read_file(argv[1], "inclusion.proof");

  /* inclusion.proof: the leaf index, the entry text, the leaf hash, then one proof hash a line. */
  char* entry = strchr((char*)proof.data, '\n');
  char* hash = entry ? strchr(entry + 1, '\n') : NULL;
  char* path = hash ? strchr(hash + 1, '\n') : NULL;
  if (!path) die("inclusion.proof is shorter than four lines", "");
  unsigned long long index = strtoull((const char*)proof.data, NULL, 10);
  *hash++ = '\0';
  *path++ = '\0';
  uint8_t leaf_hash[32];
  if (strlen(hash) != 2 * sizeof leaf_hash) die("the leaf hash in inclusion.proof is not 32 bytes", "");
  decode_hex(hash, strlen(hash), leaf_hash);
  Bytes path_lines = {(uint8_t*)path, proof.len - (size_t)(path - (char*)proof.data)};

  printf("quorvantile_log, contract version %u\n", ffi_quorvantile_log_uniffi_contract_version());
  int verified = 0;

  RustCallStatus status = {0};
  RustBuffer head = uniffi_quorvantile_log_fn_func_checkpoint_verify(to_buffer(note.data, note.len),
                                                                     encode_lines(&keys, 0), &status);
  char what[160] = "signed checkpoint";
  if (status.code == QV_CALL_SUCCESS) {
    /* CheckpointHead: origin (big-endian length + UTF-8), then the tree size (big-endian u64). */
    uint32_t origin_len = (uint32_t)head.data[0] << 24 | (uint32_t)head.data[1] << 16 |
                          (uint32_t)head.data[2] << 8 | head.data[3];
    unsigned long long size = 0;
    for (int i = 0; i < 8; ++i) size = size << 8 | head.data[4 + origin_len + i];
    snprintf(what, sizeof what, "checkpoint of %.*s at size %llu", (int)origin_len, (const char*)head.data + 4,
             size);
    RustCallStatus free_status = {0};
    ffi_quorvantile_log_rustbuffer_free(head, &free_status);
  }
  verified += report(what, &status);

  memset(&status, 0, sizeof status);
  uint8_t leaf[4 + sizeof leaf_hash]; /* sequence<u8>: big-endian count, then the bytes */
  put_be32(leaf, sizeof leaf_hash);
  memcpy(leaf + 4, leaf_hash, sizeof leaf_hash);
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(to_buffer(note.data, note.len), encode_lines(&keys, 0),
                                                            index, to_buffer(leaf, sizeof leaf), encode_lines(&path_lines, 1), &status);
  snprintf(what, sizeof what, "inclusion of \"%s\" at index %llu", entry + 1, index);
  verified += report(what, &status);

  free(note.data);
  free(keys.data);
  free(proof.data);
  printf("%s\n", verified == 2 ? "all verified" : "VERIFICATION FAILED");
  return verified == 2 ? 0 : 1;
}
