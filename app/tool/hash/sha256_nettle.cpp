// SHA-256 from nettle, linked in whole (libnettle.a) so the program needs no
// library the player's system may lack.
#include <nettle/sha2.h>

#include "app/tool/hash/sha256.hpp"

namespace vn3 {

std::optional<Sha256Digest> sha256(std::span<const std::uint8_t> bytes) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, bytes.size(), bytes.data());
  Sha256Digest digest;
  sha256_digest(&context, digest.size(), digest.data());
  return digest;
}

}  // namespace vn3
