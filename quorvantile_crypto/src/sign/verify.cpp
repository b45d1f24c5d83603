// Framed signature verification: decode both tokens, match their version tags, check the exact
// lengths, and require every component signature to hold over the one framed message.
#include "quorvantile_crypto/ed25519.hpp"
#include "quorvantile_crypto/mldsa.hpp"
#include "quorvantile_crypto/sign.hpp"
#include "sign/ecdsa_p521.hpp"
#include "sign/ed448.hpp"
#include "suite/tags.hpp"

namespace quorvantile_crypto {
namespace {

constexpr std::size_t kEd25519KeySize = 32;
constexpr std::size_t kEd25519SigSize = 64;
constexpr std::size_t kMlDsa65KeySize = 1952;
constexpr std::size_t kMlDsa65SigSize = 3309;
constexpr std::size_t kMlDsa87KeySize = 2592;
constexpr std::size_t kMlDsa87SigSize = 4627;

// Callers compute both components before combining them: a failed first component never
// skips the second.
bool both(bool first, bool second) { return first && second; }

// Lengths have been checked against the tag's totals; the tag byte is index 0.
bool verify_suite_tagged(uint8_t tag, ByteView m, ByteView sig, ByteView key) {
  switch (tag) {
    case tags::kPureMlDsa87:
      return mldsa::verify(mldsa::ParameterSet::MlDsa87, key.subspan(1, kMlDsa87KeySize), m,
                           sig.subspan(1, kMlDsa87SigSize));
    case tags::kEd448MlDsa65: {
      const bool classical = ed448::verify(key.subspan(1, ed448::kPublicKeySize), m, sig.subspan(1, ed448::kSignatureSize));
      const bool lattice = mldsa::verify(mldsa::ParameterSet::MlDsa65, key.subspan(1 + ed448::kPublicKeySize, kMlDsa65KeySize),
                                         m, sig.subspan(1 + ed448::kSignatureSize, kMlDsa65SigSize));
      return both(classical, lattice);
    }
    case tags::kP521MlDsa87: {
      const bool classical = ecdsa_p521::verify(key.subspan(1, ecdsa_p521::kPublicKeySize), m,
                                                sig.subspan(1, ecdsa_p521::kSignatureSize));
      const bool lattice =
          mldsa::verify(mldsa::ParameterSet::MlDsa87, key.subspan(1 + ecdsa_p521::kPublicKeySize, kMlDsa87KeySize), m,
                        sig.subspan(1 + ecdsa_p521::kSignatureSize, kMlDsa87SigSize));
      return both(classical, lattice);
    }
    default:
      return false;
  }
}

mldsa::ParameterSet level_parameter_set(SignatureLevel level) {
  switch (level) {
    case SignatureLevel::Cat2:
      return mldsa::ParameterSet::MlDsa44;
    case SignatureLevel::Cat3:
      return mldsa::ParameterSet::MlDsa65;
    case SignatureLevel::Cat5:
      return mldsa::ParameterSet::MlDsa87;
  }
  return mldsa::ParameterSet::MlDsa87;
}

}  // namespace

CryptoResult<bool> verify(ByteView message, ByteView context, std::string_view signature_token,
                          std::string_view public_key_token) {
  const CryptoResult<Bytes> sig = decode_token(signature_token);
  if (!sig) return std::unexpected(sig.error());
  const CryptoResult<Bytes> key = decode_token(public_key_token);
  if (!key) return std::unexpected(key.error());

  if (!sig->empty() && tags::is_suite_tag(sig->front())) {
    const uint8_t tag = sig->front();
    // An empty key has no tag, which differs from every tag.
    if (key->empty() || key->front() != tag) return false;
    const Bytes m = frame(context, message);
    const tags::TagInfo info = *tags::lookup(tag);
    if (sig->size() != info.signature_total || key->size() != info.public_key_total) return false;
    return verify_suite_tagged(tag, m, *sig, *key);
  }
  if (!key->empty() && tags::is_suite_tag(key->front())) return false;

  const CryptoResult<SignatureLevel> sig_level = level_from_tag(*sig);
  if (!sig_level) return std::unexpected(sig_level.error());
  const CryptoResult<SignatureLevel> key_level = level_from_tag(*key);
  if (!key_level) return std::unexpected(key_level.error());

  const tags::TagInfo info = tags::level_info(*sig_level);
  if (*sig_level != *key_level || sig->size() != info.signature_total || key->size() != info.public_key_total) {
    return false;
  }
  const Bytes m = frame(context, message);
  const ByteView sig_view(*sig);
  const ByteView key_view(*key);
  const bool classical = ed25519::verify_cofactorless(key_view.subspan(1, kEd25519KeySize), m,
                                                      sig_view.subspan(1, kEd25519SigSize));
  const bool lattice = mldsa::verify(level_parameter_set(*sig_level), key_view.subspan(1 + kEd25519KeySize), m,
                                     sig_view.subspan(1 + kEd25519SigSize));
  return both(classical, lattice);
}

}  // namespace quorvantile_crypto
