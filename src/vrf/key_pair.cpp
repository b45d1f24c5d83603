#include <openssl/crypto.h>

#include <utility>

#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {

KeyPair::KeyPair(Bytes secret, Bytes public_key_bytes)
    : secret_key(std::move(secret)), public_key(std::move(public_key_bytes)) {}

KeyPair::~KeyPair() { OPENSSL_cleanse(secret_key.data(), secret_key.size()); }

}  // namespace quorvantile_log::vrf
