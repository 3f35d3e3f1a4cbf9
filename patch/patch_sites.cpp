#include "patch/patch_sites.hpp"

namespace vn3 {

namespace {

constexpr std::uint8_t frobOnByte[] = {0x5A};   // "Z"
constexpr std::uint8_t frobOffByte[] = {0x4D};  // "M"
constexpr std::uint8_t lootPctOffByte[] = {0x00};
constexpr std::uint8_t lootPctOnByte[] = {0x20};  // space
constexpr std::array<std::uint8_t, glintBlockSize> glintOffBlock{};

constexpr std::array<std::array<std::uint32_t, 3>, 2> frobOffsets = {{
    {0x546344, 0x546354, 0x546364},  // BuildA
    {0x54A33C, 0x54A34C, 0x54A35C},  // BuildB
}};
constexpr std::array<std::array<std::uint32_t, 3>, 2> lootPctOffsets = {{{0x57CEE1}, {0x5814B9}}};
constexpr std::array<std::array<std::uint32_t, 3>, 2> trailOffsets = {{{0x11B040}, {0x11B840}}};
constexpr std::array<std::array<std::uint32_t, 3>, 2> glintOffsets = {{{0x2C5040}, {0x31D840}}};

}  // namespace

const SiteList frobOn{&exeTarget, frobOffsets, 3, frobOnByte, nullptr};
const SiteList frobOff{&exeTarget, frobOffsets, 3, frobOffByte, nullptr};
const SiteList lootPctOff{&exeTarget, lootPctOffsets, 1, lootPctOffByte, nullptr};
const SiteList lootPctOn{&exeTarget, lootPctOffsets, 1, lootPctOnByte, nullptr};
const SiteList trailOff{&packageTarget, trailOffsets, 1, trailOffBlock, &StockBlocks::trail};
const SiteList trailSubtle{&packageTarget, trailOffsets, 1, trailSubtleBlock, &StockBlocks::trail};
const SiteList trailStock{&packageTarget, trailOffsets, 1, {}, &StockBlocks::trail};
const SiteList glintOff{&packageTarget, glintOffsets, 1, glintOffBlock, &StockBlocks::glint};
const SiteList glintStock{&packageTarget, glintOffsets, 1, {}, &StockBlocks::glint};

std::vector<PatchSite> sitesFor(const SiteList& list, GameBuild build) {
  const auto& offsets = list.offsets[static_cast<std::size_t>(build)];
  std::vector<PatchSite> sites;
  for (std::size_t i = 0; i < list.siteCount; ++i) sites.push_back({offsets[i], list.fixedBytes});
  return sites;
}

Outcome runSiteList(const SiteList& list, GameBuild build, StockBlocks& stock) {
  const std::vector<PatchSite> sites = sitesFor(list, build);
  if (!list.stock) return applyPatch(*list.target, sites);
  return applyPatch(*list.target, sites, &(stock.*list.stock));
}

}  // namespace vn3
