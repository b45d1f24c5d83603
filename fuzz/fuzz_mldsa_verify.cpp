// Arbitrary keys, signatures, messages and contexts into ML-DSA verification, all three sets.
// Byte 0 picks the set (bits 0-1), the interface (bit 2: internal) and the layout (bit 3): either
// a key and a signature of exactly the set's sizes (zero-padded when the input is short), so the
// fuzzer reaches the hint, norm and arithmetic code, or free lengths from two 16-bit prefixes.
// The default path must agree with every other expansion path this CPU runs: OpenSSL's one lane,
// the portable four lanes (portable arithmetic throughout), four AVX2 lanes, eight AVX-512 lanes.
#include <algorithm>
#include <cstdlib>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mldsa/expansion.hpp"
#include "quorvantile_crypto/mldsa.hpp"

namespace {

using quorvantile_crypto::ByteView;
using quorvantile_crypto::mldsa::ParameterSet;

struct Sizes {
  ParameterSet params;
  std::size_t public_key, signature;
};

constexpr Sizes kSets[] = {{ParameterSet::MlDsa44, 1312, 2420},
                           {ParameterSet::MlDsa65, 1952, 3309},
                           {ParameterSet::MlDsa87, 2592, 4627},
                           {ParameterSet::MlDsa87, 2592, 4627}};

class Reader {
 public:
  explicit Reader(ByteView data) : data_(data) {}
  std::vector<uint8_t> take_padded(std::size_t n) {
    std::vector<uint8_t> out(n, 0);
    const std::size_t available = std::min(n, data_.size());
    std::copy_n(data_.begin(), available, out.begin());
    data_ = data_.subspan(available);
    return out;
  }
  ByteView take_up_to(std::size_t n) {
    const ByteView out = data_.first(std::min(n, data_.size()));
    data_ = data_.subspan(out.size());
    return out;
  }
  std::size_t take_u16() {
    const ByteView b = take_up_to(2);
    std::size_t v = 0;
    for (uint8_t x : b) v = v << 8 | x;
    return v;
  }
  ByteView rest() { return take_up_to(data_.size()); }

 private:
  ByteView data_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  const Sizes& set = kSets[control & 3];
  const bool internal = (control & 4) != 0;
  const bool free_lengths = (control & 8) != 0;
  Reader in(ByteView(data + 1, size - 1));

  std::vector<uint8_t> public_key, signature;
  if (free_lengths) {
    const std::size_t key_length = in.take_u16();
    const std::size_t signature_length = in.take_u16();
    const ByteView key = in.take_up_to(key_length);
    const ByteView sig = in.take_up_to(signature_length);
    public_key.assign(key.begin(), key.end());
    signature.assign(sig.begin(), sig.end());
  } else {
    public_key = in.take_padded(set.public_key);
    signature = in.take_padded(set.signature);
  }
  namespace detail = quorvantile_crypto::mldsa::detail;
  std::vector<detail::Expansion> others;
  for (const auto path : {detail::Expansion::OneLane, detail::Expansion::FourLanesPortable, detail::Expansion::FourLanesAvx2,
                          detail::Expansion::EightLanesAvx512}) {
    if (detail::expansion_available(path)) others.push_back(path);
  }
  if (internal) {
    const ByteView message = in.rest();
    const bool result = quorvantile_crypto::mldsa::verify_internal(set.params, public_key, message, signature);
    for (const auto path : others) {
      if (detail::verify_internal_on(path, set.params, public_key, message, signature) != result) std::abort();
    }
  } else {
    // One length byte for the context; 0xff stands for an over-long context of 256 bytes.
    const ByteView length = in.take_up_to(1);
    const std::size_t context_length = length.empty() ? 0 : (length[0] == 0xff ? 256 : length[0]);
    const std::vector<uint8_t> context = in.take_padded(context_length);
    const ByteView message = in.rest();
    const bool result = quorvantile_crypto::mldsa::verify(set.params, public_key, message, signature, context);
    for (const auto path : others) {
      if (detail::verify_on(path, set.params, public_key, message, signature, context) != result) std::abort();
    }
  }
  return 0;
}
