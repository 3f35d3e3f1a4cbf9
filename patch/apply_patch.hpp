#pragma once
// Writes byte strings at absolute offsets into an existing game file, in
// place, and prints the one outcome of the action.
#include <cstdint>
#include <span>
#include <string_view>

namespace vn3 {

struct PatchTarget {
  std::string_view path;  // relative, backslash-separated, as messages print it
  std::string_view openFailed;
  std::string_view locateFailed;
  std::string_view writeFailed;
};

extern const PatchTarget exeTarget;
extern const PatchTarget packageTarget;

struct PatchSite {
  std::uint32_t offset;
  std::span<const std::uint8_t> bytes;
};

// Never creates or truncates the file. Sites are written in order; a failure
// leaves the earlier ones written.
void applyPatch(const PatchTarget& target, std::span<const PatchSite> sites);

}  // namespace vn3
