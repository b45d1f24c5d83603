// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "quorvantile_crypto/hash.hpp"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "test_support.hpp"

namespace {

using namespace quorvantile_crypto;
using qv_test::to_hex;

Hash64 openssl_sha3_512(const std::vector<uint8_t>& data) {
  Hash64 out{};
  unsigned int len = 0;
  EXPECT_EQ(EVP_Digest(data.data(), data.size(), out.data(), &len, EVP_sha3_512(), nullptr), 1);
  return out;
}

std::vector<uint8_t> framed(const std::vector<uint8_t>& context, const std::vector<uint8_t>& message) {
  std::vector<uint8_t> out;
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(context.size()) >> shift));
  out.insert(out.end(), context.begin(), context.end());
  out.insert(out.end(), message.begin(), message.end());
  return out;
}

TEST(Hash, Sha256KnownAnswers) {
  EXPECT_EQ(to_hex(sha256({})), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(to_hex(sha256(as_bytes("abc"))), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Hash, Sha256ContextReuseMatchesOneShot) {
  Sha256 hasher;
  const std::string a = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(hasher.digest({as_bytes(a.substr(0, 10)), as_bytes(a.substr(10))}), sha256(as_bytes(a)));
    EXPECT_EQ(hasher.digest({}), sha256({}));
  }
  EXPECT_EQ(to_hex(hasher.digest({as_bytes(a)})), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Hash, ContextBoundSha3KnownAnswers) {
  // Empty context and message: SHA3-512 of eight zero bytes, not of the empty string.
  EXPECT_EQ(to_hex(sha3_512_with_context({}, {})),
            "0ade1db9cc8552ed5997a5642d835ebd191367d08c24564a735a16f777ec7a0f02e7575e5c778e39d6cdfa79006cd96bc4b40967abbc23b9109eed2f296af8f6");
  EXPECT_NE(to_hex(sha3_512_with_context({}, {})),
            "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e301758586281dcd26");
  // The framed context length separates ("ab", "c") from ("a", "bc").
  EXPECT_EQ(to_hex(sha3_512_with_context(as_bytes("ab"), as_bytes("c"))),
            "c50abc012f2e34678485dac4ef184a0e9b5414db938d866edac84b055ae2d202f733be284348793e2bc75c4987d455bd959c2187118e10778509f36624b5680d");
  EXPECT_EQ(to_hex(sha3_512_with_context(as_bytes("a"), as_bytes("bc"))),
            "c44febe6eef6d0fdde1e05036f8d1337f276be2750ee53e24cc9546af88d042f850dbe2b3a5d9bf618562c343bc9c46b9605ca32726a212455c9e2c60b09a9ba");
}

TEST(Hash, ContextBoundSha3MatchesExplicitFraming) {
  const std::vector<std::size_t> context_sizes{0, 1, 63, 64, 65, 71, 72, 135, 136, 300, 70000};
  for (std::size_t n : context_sizes) {
    std::vector<uint8_t> context(n);
    for (std::size_t i = 0; i < n; ++i) context[i] = static_cast<uint8_t>(i % 251);
    for (std::size_t m : {std::size_t{0}, std::size_t{7}, std::size_t{200}}) {
      const std::vector<uint8_t> message(m, 0xa5);
      EXPECT_EQ(sha3_512_with_context(context, message), openssl_sha3_512(framed(context, message))) << n << "/" << m;
    }
  }
  std::vector<uint8_t> context(64);
  for (std::size_t i = 0; i < 64; ++i) context[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(to_hex(sha3_512_with_context(context, as_bytes("message"))),
            "0614b61c584ced6c07062c180476737bb70dce1b8565fe9e428c51dfe60ad98df5777df36916c0fd8c9f22723bed775bd0a20a12d7d60a430d617239e02149d1");
}

}  // namespace
