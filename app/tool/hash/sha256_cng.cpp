// SHA-256 from Windows' own CNG (bcrypt.dll): the calls that Vista and later
// have, and Wine 8. Not BCryptHash, which needs Windows 10.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <algorithm>
#include <vector>

#include "app/tool/hash/sha256.hpp"

namespace vn3 {

namespace {

// Each handle closed on every way out, the hash before its algorithm.
struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Algorithm() {
    if (handle != nullptr) ::BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct Hash {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~Hash() {
    if (handle != nullptr) ::BCryptDestroyHash(handle);
  }
};

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::optional<Sha256Digest> sha256(std::span<const std::uint8_t> bytes) {
  Algorithm algorithm;
  if (!succeeded(
          ::BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return std::nullopt;
  }
  // Before Windows 7 the caller provides the hash object's memory.
  DWORD objectSize = 0;
  ULONG written = 0;
  if (!succeeded(::BCryptGetProperty(algorithm.handle, BCRYPT_OBJECT_LENGTH,
                                     reinterpret_cast<PUCHAR>(&objectSize), sizeof objectSize,
                                     &written, 0))) {
    return std::nullopt;
  }
  std::vector<UCHAR> object(objectSize);
  Hash hash;
  if (!succeeded(::BCryptCreateHash(algorithm.handle, &hash.handle, object.data(), objectSize,
                                    nullptr, 0, 0))) {
    return std::nullopt;
  }
  // The length is a ULONG: a large input goes in pieces.
  constexpr std::size_t piece = std::size_t{1} << 30;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const auto length = static_cast<ULONG>(std::min(piece, bytes.size() - at));
    if (!succeeded(
            ::BCryptHashData(hash.handle, const_cast<PUCHAR>(bytes.data() + at), length, 0))) {
      return std::nullopt;
    }
  }
  Sha256Digest digest;
  if (!succeeded(::BCryptFinishHash(hash.handle, digest.data(), digest.size(), 0))) {
    return std::nullopt;
  }
  return digest;
}

}  // namespace vn3
