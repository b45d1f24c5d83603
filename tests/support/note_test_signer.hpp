// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A test-only Ed25519 note signer on OpenSSL: keys from a fixed seed, verifier-key texts and
// signature lines. The key id is computed here from its definition, independently of the library.
// With type 0x04 it is a witness key that writes timestamped cosignature lines.
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/base64.hpp"

namespace qv_test {

class Ed25519NoteSigner {
 public:
  Ed25519NoteSigner(std::string name, uint8_t seed_byte, uint8_t type = 0x01) : name_(std::move(name)), type_(type) {
    std::array<uint8_t, 32> seed;
    seed.fill(seed_byte);
    key_.reset(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()));
    if (!key_) throw std::runtime_error("ed25519 key");
    std::size_t len = public_key_.size();
    if (EVP_PKEY_get_raw_public_key(key_.get(), public_key_.data(), &len) != 1) throw std::runtime_error("public key");

    std::vector<uint8_t> id_input(name_.begin(), name_.end());
    id_input.push_back(0x0A);
    id_input.push_back(type_);
    id_input.insert(id_input.end(), public_key_.begin(), public_key_.end());
    uint8_t digest[SHA256_DIGEST_LENGTH];
    SHA256(id_input.data(), id_input.size(), digest);
    key_id_ = uint32_t{digest[0]} << 24 | uint32_t{digest[1]} << 16 | uint32_t{digest[2]} << 8 | digest[3];
  }

  const std::string& name() const { return name_; }
  uint32_t key_id() const { return key_id_; }
  const std::array<uint8_t, 32>& public_key() const { return public_key_; }

  std::string vkey() const {
    std::vector<uint8_t> material{type_};
    material.insert(material.end(), public_key_.begin(), public_key_.end());
    char id[9];
    std::snprintf(id, sizeof id, "%08x", key_id_);
    return name_ + "+" + id + "+" + quorvantile_log::encoding::base64_encode(material);
  }

  std::vector<uint8_t> signature(std::string_view message) const {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    std::vector<uint8_t> sig(64);
    std::size_t len = sig.size();
    if (EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, key_.get()) != 1 ||
        EVP_DigestSign(ctx.get(), sig.data(), &len, reinterpret_cast<const uint8_t*>(message.data()),
                       message.size()) != 1) {
      throw std::runtime_error("ed25519 sign");
    }
    return sig;
  }

  // "— name base64(key id || signature)\n" over the note text.
  std::string line(std::string_view text) const { return line_with(signature(text)); }

  std::string line_with(const std::vector<uint8_t>& sig) const {
    std::vector<uint8_t> blob = {static_cast<uint8_t>(key_id_ >> 24), static_cast<uint8_t>(key_id_ >> 16),
                                 static_cast<uint8_t>(key_id_ >> 8), static_cast<uint8_t>(key_id_)};
    blob.insert(blob.end(), sig.begin(), sig.end());
    return "\xE2\x80\x94 " + name_ + " " + quorvantile_log::encoding::base64_encode(blob) + "\n";
  }

  // A type 0x04 cosignature line: the timestamp and the signature of "cosignature/v1", the
  // timestamp and the note text, written out here from the format.
  std::string cosignature_line(std::string_view text, uint64_t timestamp) const {
    const std::string message = "cosignature/v1\ntime " + std::to_string(timestamp) + "\n" + std::string(text);
    std::vector<uint8_t> blob;
    for (int shift = 56; shift >= 0; shift -= 8) blob.push_back(static_cast<uint8_t>(timestamp >> shift));
    const std::vector<uint8_t> sig = signature(message);
    blob.insert(blob.end(), sig.begin(), sig.end());
    return line_with(blob);
  }

  // The note: the text (ending in a line feed), a blank line and this signer's line.
  std::string sign(std::string_view text) const { return std::string(text) + "\n" + line(text); }

 private:
  std::string name_;
  uint8_t type_;
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key_{nullptr, EVP_PKEY_free};
  std::array<uint8_t, 32> public_key_{};
  uint32_t key_id_ = 0;
};

}  // namespace qv_test
