#pragma once
// The game's four effects the menu switches, and the nine site lists that
// write them: which file, which offsets for each build, which bytes. Both
// programs read this one table: the menu to print and run, the tool to tell
// what the game files hold.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

struct Effect {
  std::string_view statusLine;  // status's line, "{}" its state
  bool withShaders;             // the line also tells the shader files
  const PatchTarget& target;
  std::array<std::array<std::uint32_t, 3>, 2> offsets;  // indexed by GameBuild
  std::size_t siteCount;                                // 1 or 3
  std::size_t length;                                   // of the bytes at each site
  // The package's stock block at the site, which only the player's own
  // package holds, and what messages call it; none for the executable's.
  const StockFile* stock;
  std::string_view stockWhat;

  // The sites' offsets for `build`, lowest first.
  std::span<const std::uint32_t> offsetsFor(GameBuild build) const {
    return std::span(offsets[static_cast<std::size_t>(build)]).first(siteCount);
  }
};

// In menu order.
extern const std::array<Effect, 4> effects;

struct SiteList {
  const Effect& effect;
  int menuKey;
  // Written at each site; empty for a restore, which writes the stock block.
  std::span<const std::uint8_t> bytes;
  std::string_view state;  // status's word for what the list leaves, "{}" the menu item
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

// In menu order: key 1 first. Key 1's list is written by its dialogue.
extern const std::array<const SiteList*, 9> siteLists;

// Whether siteLists[index] is its effect's last list, the one that restores it.
bool endsEffect(std::size_t index);

// The list's sites for `build`, each writing the list's own bytes.
std::vector<PatchSite> sitesFor(const SiteList& list, GameBuild build);

// One menu action for `build`. On a package block it first captures the
// block found there (see StockBlocks), so that its restore works.
Outcome runSiteList(const SiteList& list, GameBuild build, StockBlocks& stock);

}  // namespace vn3
