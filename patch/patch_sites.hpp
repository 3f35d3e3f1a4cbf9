#pragma once
// Which bytes each menu action writes, where, for each build of the game.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

struct SiteList {
  const PatchTarget* target;
  std::array<std::array<std::uint32_t, 3>, 2> offsets;  // indexed by GameBuild
  std::size_t siteCount;                                // 1 or 3
  // Written at each site; empty for a restore, which writes the stock block.
  std::span<const std::uint8_t> fixedBytes;
  StockBlock StockBlocks::*stock;  // the stock block at the sites, if any
};

extern const SiteList frobOn;
extern const SiteList frobOff;
extern const SiteList lootPctOff;
extern const SiteList lootPctOn;
extern const SiteList trailOff;
extern const SiteList trailSubtle;
extern const SiteList trailStock;
extern const SiteList glintOff;
extern const SiteList glintStock;

// The list's sites for `build`, each writing the list's own bytes.
std::vector<PatchSite> sitesFor(const SiteList& list, GameBuild build);

// One menu action for `build`. On a package block it first keeps the block
// found there if it is stock (see applyPatch), so that its restore works.
Outcome runSiteList(const SiteList& list, GameBuild build, StockBlocks& stock);

}  // namespace vn3
