#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "payload/payload_blocks.hpp"

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

// What an action did, for the menu to print: success, or the failure that ended it.
struct Outcome {
  std::string failure;  // empty on success
  bool succeeded() const { return failure.empty(); }
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Never creates or truncates the file. Sites are written in order; a failure
// leaves the earlier ones written. With `blocks`, the block of `stock` at the
// first site is prepared (see StockBlocks) through the same open, and its
// refusal writes nothing. A restore, a site without bytes of its own, writes
// the stock block, and without one it is refused.
Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites,
                   StockBlocks* blocks = nullptr, const StockFile* stock = nullptr);

}  // namespace vn3
