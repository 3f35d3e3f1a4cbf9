#include "patch/patch_sites.hpp"

#include "common/messages.hpp"

namespace vn3 {

namespace {

constexpr std::uint8_t frobOnByte[] = {0x5A};   // "Z"
constexpr std::uint8_t frobOffByte[] = {0x4D};  // "M"
constexpr std::uint8_t lootPctOffByte[] = {0x00};
constexpr std::uint8_t lootPctOnByte[] = {0x20};  // space
constexpr std::array<std::uint8_t, glintBlockSize> glintOffBlock{};

}  // namespace

// clang-format off
const std::array<Effect, 4> effects = {{
    {msg::statusFrob, true, exeTarget,
     {{{0x546344, 0x546354, 0x546364}, {0x54A33C, 0x54A34C, 0x54A35C}}}, 3, 1, nullptr, {}},
    {msg::statusLootPct, false, exeTarget, {{{0x57CEE1}, {0x5814B9}}}, 1, 1, nullptr, {}},
    {msg::statusTrails, false, packageTarget, {{{0x11B040}, {0x11B840}}}, 1, trailBlockSize,
     &trailStockFile, msg::extractTrailWhat},
    {msg::statusGlint, false, packageTarget, {{{0x2C5040}, {0x31D840}}}, 1, glintBlockSize,
     &glintStockFile, msg::extractGlintWhat},
}};

const SiteList frobOn{effects[0], 1, frobOnByte, msg::stateFrobOn};
const SiteList frobOff{effects[0], 2, frobOffByte, msg::stateStock};
const SiteList lootPctOff{effects[1], 3, lootPctOffByte, msg::stateLootHidden};
const SiteList lootPctOn{effects[1], 4, lootPctOnByte, msg::stateLootShown};
const SiteList trailOff{effects[2], 5, trailOffBlock, msg::stateOff};
const SiteList trailSubtle{effects[2], 6, trailSubtleBlock, msg::stateSubtle};
const SiteList trailStock{effects[2], 7, {}, msg::stateStock};
const SiteList glintOff{effects[3], 8, glintOffBlock, msg::stateOff};
const SiteList glintStock{effects[3], 9, {}, msg::stateStock};
// clang-format on

const std::array<const SiteList*, 9> siteLists = {&frobOn,     &frobOff,  &lootPctOff,
                                                  &lootPctOn,  &trailOff, &trailSubtle,
                                                  &trailStock, &glintOff, &glintStock};

bool endsEffect(std::size_t index) {
  return index + 1 == siteLists.size() ||
         &siteLists[index + 1]->effect != &siteLists[index]->effect;
}

std::vector<PatchSite> sitesFor(const SiteList& list, GameBuild build) {
  std::vector<PatchSite> sites;
  for (const std::uint32_t offset : list.effect.offsetsFor(build))
    sites.push_back({offset, list.bytes});
  return sites;
}

Outcome runSiteList(const SiteList& list, GameBuild build, StockBlocks& stock) {
  const std::vector<PatchSite> sites = sitesFor(list, build);
  return applyPatch(list.effect.target, sites, list.effect.stock ? &stock : nullptr,
                    list.effect.stock);
}

}  // namespace vn3
