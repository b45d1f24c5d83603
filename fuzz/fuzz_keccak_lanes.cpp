// The multi-lane Keccak against OpenSSL's one-lane SHAKE and SHA3 on arbitrary inputs. Byte 0
// picks the function (bits 0-1), the permutation (bit 2: a vector one where the CPU has it, bit 5
// choosing AVX-512 over AVX2) and the lane count (bits 3-4, plus one); each lane then reads a 16-bit output length, a 16-bit split point
// for a squeeze in two pieces, and a 16-bit input length, and the inputs follow. Any difference
// from OpenSSL aborts.
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keccak/keccak.hpp"

namespace {

namespace keccak = quorvantile_crypto::keccak;
using quorvantile_crypto::ByteView;

class Reader {
 public:
  explicit Reader(ByteView data) : data_(data) {}
  std::size_t u16() {
    std::size_t value = 0;
    for (int i = 0; i < 2; ++i) value = value << 8 | (data_.empty() ? 0 : take(1)[0]);
    return value;
  }
  ByteView take(std::size_t n) {
    const ByteView out = data_.first(std::min(n, data_.size()));
    data_ = data_.subspan(out.size());
    return out;
  }

 private:
  ByteView data_;
};

const EVP_MD* openssl_md(keccak::Function f) {
  switch (f) {
    case keccak::Function::Shake128: return EVP_shake128();
    case keccak::Function::Shake256: return EVP_shake256();
    case keccak::Function::Sha3_256: return EVP_sha3_256();
    case keccak::Function::Sha3_512: return EVP_sha3_512();
  }
  std::abort();
}

std::vector<uint8_t> openssl_hash(keccak::Function f, ByteView input, std::size_t length) {
  const std::size_t digest = keccak::digest_size(f);
  std::vector<uint8_t> out(digest != 0 ? digest : length);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  bool ok = ctx != nullptr && EVP_DigestInit_ex(ctx, openssl_md(f), nullptr) == 1 &&
            EVP_DigestUpdate(ctx, input.data(), input.size()) == 1;
  if (ok && digest != 0) ok = EVP_DigestFinal_ex(ctx, out.data(), nullptr) == 1;
  if (ok && digest == 0 && !out.empty()) ok = EVP_DigestFinalXOF(ctx, out.data(), out.size()) == 1;
  EVP_MD_CTX_free(ctx);
  if (!ok) std::abort();
  out.resize(length);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Reader reader(ByteView(data, size).subspan(1));
  const auto function = static_cast<keccak::Function>(data[0] & 3);
  const auto vector = (data[0] & 0x20) ? keccak::Permutation::Avx512 : keccak::Permutation::Avx2;
  const auto permutation = (data[0] & 4) && keccak::available(vector) ? vector : keccak::Permutation::Portable;
  const std::size_t lanes = (data[0] >> 3 & 3) + 1;
  const std::size_t digest = keccak::digest_size(function);

  std::array<std::size_t, keccak::kMaxLanes> out_length{}, split{}, in_length{};
  for (std::size_t lane = 0; lane < lanes; ++lane) {
    out_length[lane] = digest != 0 ? reader.u16() % (digest + 1) : reader.u16() % 4096;
    split[lane] = out_length[lane] == 0 ? 0 : reader.u16() % (out_length[lane] + 1);
    in_length[lane] = reader.u16() % 4096;
  }
  std::array<ByteView, keccak::kMaxLanes> inputs;
  for (std::size_t lane = 0; lane < lanes; ++lane) inputs[lane] = reader.take(in_length[lane]);

  std::array<std::vector<uint8_t>, keccak::kMaxLanes> outputs;
  std::array<std::span<uint8_t>, keccak::kMaxLanes> first, second;
  for (std::size_t lane = 0; lane < lanes; ++lane) {
    outputs[lane].resize(out_length[lane]);
    first[lane] = std::span(outputs[lane]).first(split[lane]);
    second[lane] = std::span(outputs[lane]).subspan(split[lane]);
  }
  keccak::Sponges sponges(function, std::span(inputs).first(lanes), permutation);
  sponges.squeeze(std::span(first).first(lanes));
  // The second piece lane by lane, from the last lane down, so lanes move out of step.
  for (std::size_t lane = lanes; lane-- > 0;) sponges.squeeze_lane(lane, second[lane]);

  for (std::size_t lane = 0; lane < lanes; ++lane) {
    if (outputs[lane] != openssl_hash(function, inputs[lane], out_length[lane])) std::abort();
  }
  return 0;
}
