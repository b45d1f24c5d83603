#pragma once
// Keccak-p[1600] sponges (SHAKE128, SHAKE256, SHA3-256, SHA3-512) run over up to four
// independent lanes at once. With AVX2 (or AVX-512VL) the four lanes share one vector
// permutation, which costs little more than a single scalar one; elsewhere a portable permutation
// runs lane by lane. Lanes may absorb and squeeze different lengths. For many short SHAKE128
// inputs squeezed by whole blocks (matrix expansion) shake128_short_inputs runs up to eight lanes
// with AVX-512. Nothing here is shared between calls.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::keccak {

enum class Function : uint8_t { Shake128, Shake256, Sha3_256, Sha3_512 };

// Bytes absorbed or squeezed per permutation.
std::size_t rate(Function f);
// The digest length of SHA3-256 and SHA3-512 (the first bytes of their squeezed output); 0 for
// the SHAKEs, whose output has any length.
std::size_t digest_size(Function f);

// Avx512 needs AVX-512F and AVX-512VL: the sponges run their four lanes in 256-bit registers
// with its rotate and three-input logic instructions, shake128_short_inputs eight lanes in
// 512-bit registers.
enum class Permutation : uint8_t { Portable, Avx2, Avx512 };

// Whether this CPU runs the AVX2 (AVX-512) permutation; false also where it is not built.
bool avx2_available();
bool avx512_available();
bool available(Permutation permutation);
// The AVX-512 permutation where the CPU has it, else AVX2, else the portable one.
Permutation best_permutation();

inline constexpr std::size_t kMaxLanes = 4;
inline constexpr std::size_t kMaxWideLanes = 8;
inline constexpr std::size_t kShake128Rate = 168;

class Sponges {
 public:
  // Absorbs inputs[i] into lane i and pads it. Throws std::invalid_argument unless there are
  // 1 to kMaxLanes inputs, or when a vector permutation is asked for on a CPU without it.
  Sponges(Function f, std::span<const ByteView> inputs, Permutation permutation = best_permutation());

  std::size_t lanes() const { return lanes_; }

  // Writes the next outputs[i].size() bytes of lane i's output into outputs[i]; a lane given an
  // empty span (or no span: outputs may be shorter than lanes()) stays where it is.
  void squeeze(std::span<const std::span<uint8_t>> outputs);

  // A single lane's next out.size() bytes.
  void squeeze_lane(std::size_t lane, std::span<uint8_t> out);

  // Lane l's state word w is words_[w][l]: each vector load takes one word of every lane.
  using State = std::array<std::array<uint64_t, kMaxLanes>, 25>;

 private:
  void permute(unsigned lane_mask);

  alignas(32) State words_{};
  std::array<std::size_t, kMaxLanes> squeezed_{};  // bytes of the current block already output
  std::size_t lanes_;
  std::size_t rate_;
  Permutation permutation_;
};

// outputs[i] receives the first blocks * kShake128Rate bytes of SHAKE128(inputs[i]), for 1 to
// kMaxWideLanes inputs each shorter than one block. The state stays in registers from absorbing
// to the last block and every block goes straight to the outputs: AVX-512 takes eight lanes per
// permutation, AVX2 four, the portable permutation one. Throws std::invalid_argument on other
// shapes, or when the permutation is not available on this CPU.
void shake128_short_inputs(std::span<const ByteView> inputs, std::size_t blocks, std::span<uint8_t* const> outputs,
                           Permutation permutation = best_permutation());

// outputs[i] = f(inputs[i]), outputs[i].size() bytes (for SHA3, at most digest_size(f)).
void hash(Function f, std::span<const ByteView> inputs, std::span<const std::span<uint8_t>> outputs,
          Permutation permutation = best_permutation());

}  // namespace quorvantile_crypto::keccak
