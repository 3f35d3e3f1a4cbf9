#pragma once
// SHA-256 as the system's maintained libraries give it, never written here:
// CNG on Windows, nettle elsewhere, one file per platform. Only
// vn3patch-tool links this room; it includes nothing outside itself.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vn3 {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest of `bytes`; nothing when the system's hashing fails.
std::optional<Sha256Digest> sha256(std::span<const std::uint8_t> bytes);

}  // namespace vn3
