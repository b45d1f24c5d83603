// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// VRF key derivation and proving for both suites with every secret key marked undefined for
// valgrind's memcheck. The library (built with QV_CT_CHECK) marks the secrets it derives itself
// (the expanded hash, the nonce's digest, the secret scalar) and declassifies the values that are
// public by design, so under `valgrind --tool=memcheck --error-exitcode=1` any branch or memory
// index that depends on a secret is reported and fails the run. The results are checked as well
// (published vectors, self-verification, rejection texts), so the run cannot pass by proving
// nothing. Outside valgrind the marks are inert and only the results are checked.
#include <valgrind/memcheck.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "quorvantile_crypto/vrf.hpp"
#include "quorvantile_crypto/vrf_p256.hpp"
#include "test_support.hpp"

namespace {

namespace qc = quorvantile_crypto;
using qc::Bytes;
using qc::ByteView;
using qv_test::from_hex;
using qv_test::to_hex;

// One suite's prover side, seen through byte strings.
struct Suite {
  const char* name;
  std::function<qc::CryptoResult<Bytes>(ByteView)> derive;
  std::function<qc::CryptoResult<Bytes>(ByteView, ByteView)> prove;
  // The output when the proof verifies under the public key, nothing otherwise.
  std::function<std::optional<Bytes>(ByteView, ByteView, ByteView)> verify;
};

template <class Result>
qc::CryptoResult<Bytes> as_bytes(const Result& r) {
  if (!r) return std::unexpected(r.error());
  return Bytes(r->begin(), r->end());
}

template <class Result>
std::optional<Bytes> verified_output(const Result& r) {
  if (!r || !r->has_value()) return std::nullopt;
  return Bytes((*r)->begin(), (*r)->end());
}

const Suite kEd25519{
    "edwards25519",
    [](ByteView sk) { return as_bytes(qc::vrf::ecvrf_public_key(sk)); },
    [](ByteView sk, ByteView alpha) { return as_bytes(qc::vrf::prove(sk, alpha)); },
    [](ByteView pk, ByteView alpha, ByteView pi) { return verified_output(qc::vrf::verify(pk, alpha, pi)); },
};

const Suite kP256{
    "P-256",
    [](ByteView sk) { return as_bytes(qc::vrf_p256::ecvrf_p256_public_key(sk)); },
    [](ByteView sk, ByteView alpha) { return as_bytes(qc::vrf_p256::prove(sk, alpha)); },
    [](ByteView pk, ByteView alpha, ByteView pi) { return verified_output(qc::vrf_p256::verify(pk, alpha, pi)); },
};

struct Case {
  const Suite* suite;
  std::string name;
  Bytes secret;
  Bytes alpha;
  std::string public_key;  // hex; empty when only self-verification is checked
  std::string proof;       // hex; likewise
  std::string beta;        // hex prefix of the output; likewise
  std::string rejection;   // the error text when the key is invalid
};

std::vector<Case> vector_cases(const Suite& suite, const char* file) {
  std::vector<Case> cases;
  const nlohmann::json doc = qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / file);
  for (const auto& v : doc.at("vectors")) {
    cases.push_back({&suite, "example " + std::to_string(v.at("example").get<int>()),
                     from_hex(v.at("sk").get<std::string>()), from_hex(v.at("alpha").get<std::string>()),
                     v.at("pk").get<std::string>(), v.at("pi").get<std::string>(), v.at("beta").get<std::string>(), ""});
  }
  return cases;
}

std::vector<Case> all_cases() {
  std::vector<Case> cases = vector_cases(kEd25519, "ecvrf_edwards25519_sha512_tai.json");
  for (Case& c : vector_cases(kP256, "ecvrf_p256_sha256_tai.json")) cases.push_back(std::move(c));

  const Bytes long_alpha(300, 0x5a);  // the encode-to-curve input spans several hash blocks
  const Bytes n = from_hex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
  Bytes n_minus_1 = n;
  n_minus_1.back() = 0x50;
  Bytes one(32, 0);
  one.back() = 1;
  // The top 64 bits zero: the scalar is shorter than the order by a whole machine word.
  const Bytes short_scalar = from_hex("0000000000000000a1b2c3d4e5f60718293a4b5c6d7e8f90a1b2c3d4e5f60718");
  const std::vector<Case> extra = {
      {&kEd25519, "zero seed, empty alpha", Bytes(32, 0), {}, "", "", "", ""},
      {&kEd25519, "all-ones seed, long alpha", Bytes(32, 0xff), long_alpha, "", "", "", ""},
      {&kP256, "scalar 1", one, long_alpha,
       "036b17d1f2e12c4247f8bce6e563a440f277037d812deb33a0f4a13945d898c296", "", "", ""},
      {&kP256, "scalar n-1", n_minus_1, {},
       "026b17d1f2e12c4247f8bce6e563a440f277037d812deb33a0f4a13945d898c296", "", "", ""},
      {&kP256, "scalar below 2^192", short_scalar, {0x01}, "", "", "", ""},
      {&kP256, "zero scalar", Bytes(32, 0), {}, "", "", "", "vrf: secret key scalar is zero"},
      {&kP256, "scalar n", n, {}, "", "", "", "vrf: secret key is not a canonical P-256 scalar"},
      {&kP256, "all-ones scalar", Bytes(32, 0xff), {}, "", "", "", "vrf: secret key is not a canonical P-256 scalar"},
  };
  cases.insert(cases.end(), extra.begin(), extra.end());
  return cases;
}

// Runs one case with the secret marked undefined; returns the first mismatch, or nothing.
std::optional<std::string> run(const Case& c) {
  Bytes secret = c.secret;
  VALGRIND_MAKE_MEM_UNDEFINED(secret.data(), secret.size());
  const qc::CryptoResult<Bytes> public_key = c.suite->derive(secret);
  const qc::CryptoResult<Bytes> proof = c.suite->prove(secret, c.alpha);

  if (!c.rejection.empty()) {
    // Whether a key is rejected, and why, is reported to the caller: that outcome is public.
    for (const auto* r : {&public_key, &proof}) {
      if (*r) return "an invalid key was accepted";
      if (r->error().to_string() != c.rejection) return "rejected with \"" + r->error().to_string() + "\"";
    }
    return std::nullopt;
  }
  if (!public_key) return "derivation failed: " + public_key.error().to_string();
  if (!proof) return "proving failed: " + proof.error().to_string();
  if (!c.public_key.empty() && to_hex(*public_key) != c.public_key) return "public key " + to_hex(*public_key);
  if (!c.proof.empty() && to_hex(*proof) != c.proof) return "proof " + to_hex(*proof);
  const std::optional<Bytes> beta = c.suite->verify(*public_key, c.alpha, *proof);
  if (!beta) return "the proof does not verify";
  if (to_hex(*beta).compare(0, c.beta.size(), c.beta) != 0) return "output " + to_hex(*beta);
  if (c.suite->prove(secret, c.alpha) != proof) return "proving is not deterministic";
  return std::nullopt;
}

}  // namespace

int main() {
  if (RUNNING_ON_VALGRIND == 0) {
    std::printf("not under valgrind: results are checked, secret-independence is not\n");
  }
  int passed = 0, failed = 0;
  for (const Case& c : all_cases()) {
    const std::optional<std::string> mismatch = run(c);
    std::printf("%-4s %-12s %s%s%s\n", mismatch ? "FAIL" : "ok", c.suite->name, c.name.c_str(),
                mismatch ? ": " : "", mismatch ? mismatch->c_str() : "");
    ++(mismatch ? failed : passed);
  }
  std::printf("ct-check: %d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
