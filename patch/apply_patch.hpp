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

// The refusal of a restore that has no stock block to write.
Outcome missingStock(const StockBlock& block);

// Never creates or truncates the file. Sites are written in order; a failure
// leaves the earlier ones written. With `stock`, the block at the first site
// is kept (see StockBlock) through the same open before anything is written:
// when it is stock and cannot be saved, or cannot be read at all, nothing is
// written. A restore, a
// site without bytes of its own, writes the kept block, and without one it
// is refused; its bytes are the package's own, so a failed save does not
// stop it.
Outcome applyPatch(const PatchTarget& target, std::span<const PatchSite> sites,
                   StockBlock* stock = nullptr);

}  // namespace vn3
