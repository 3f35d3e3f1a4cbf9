// vn3patch-tool status: what the menu's actions have left in the game files,
// told by the menu's own texts, with the stock data and the backup. It only
// reads: the sites of the action table, the shader and stock files, and the
// backup.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <span>

#include "app/hash/sha256.hpp"
#include "app/installation.hpp"
#include "app/menu.hpp"
#include "app/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/frob_highlight.hpp"
#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

namespace {

// clang-format off
// What each menu action leaves at its sites, in menu order. The last item of
// each group restores the stock bytes.
constexpr std::array<std::string_view, 9> stateAfter = {
    msg::stateFrobOn,     msg::stateStock,
    msg::stateLootHidden, msg::stateLootShown,
    msg::stateOff,        msg::stateSubtle, msg::stateStock,
    msg::stateOff,        msg::stateStock,
};
static_assert(stateAfter.size() == std::tuple_size_v<decltype(menuActions)>);

// Each group of menu items is one effect: its status line, and whether the
// line also tells the shader files.
struct EffectLine {
  std::string_view text;
  bool withShaders;
};
constexpr EffectLine effectLines[] = {
    {msg::statusFrob,    true},
    {msg::statusLootPct, false},
    {msg::statusTrails,  false},
    {msg::statusGlint,   false},
};
// clang-format on

struct EffectState {
  std::string text;
  bool stock = false;  // as after the group's restore
};

// Action 1 writes frobOn through its dialogue; the others their own list.
const SiteList& sitesOf(const MenuAction& action) {
  return action.sites != nullptr ? *action.sites : frobOn;
}

// The stock file of a list that writes no bytes of its own: a restore's.
const StockFile& stockFileOf(const SiteList& list) {
  static const StockBlocks blocks;
  return (blocks.*list.stock).file();
}

// What each of the list's sites holds in `file`, as long as the list writes.
std::optional<std::vector<Bytes>> readSites(std::istream& file, const SiteList& list,
                                            GameBuild build) {
  const std::size_t length =
      list.fixedBytes.empty() ? stockFileOf(list).size : list.fixedBytes.size();
  std::vector<Bytes> held;
  for (const PatchSite& site : sitesFor(list, build)) {
    auto bytes = readBlockAt(file, site.offset, length);
    if (!bytes) return std::nullopt;
    held.push_back(std::move(*bytes));
  }
  return held;
}

// The state of the effect of the menu items `rows`, which start at menu
// index `first`, from what their sites hold.
EffectState judgeEffect(std::span<const MenuAction> rows, std::size_t first,
                        const std::vector<Bytes>& held) {
  const auto allHold = [&held](std::span<const std::uint8_t> bytes) {
    return std::all_of(held.begin(), held.end(),
                       [bytes](const Bytes& site) { return std::ranges::equal(site, bytes); });
  };
  const StockFile* differsFrom = nullptr;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SiteList& list = sitesOf(rows[i]);
    const EffectState after{msg::fillIn(stateAfter[first + i], {rows[i].text}),
                            i + 1 == rows.size()};
    if (!list.fixedBytes.empty()) {
      if (allHold(list.fixedBytes)) return after;
      continue;
    }
    const StockFile& file = stockFileOf(list);
    if (const auto stock = readStockBlock(hostPath(file.path), file)) {
      if (allHold(*stock)) return after;
      differsFrom = &file;
    } else if (std::all_of(held.begin(), held.end(),
                           [&file](const Bytes& site) { return isAcceptableStock(site, file); })) {
      return {msg::fillIn(msg::stateStockByLead, {rows[i].text}), true};
    }
  }
  if (std::adjacent_find(held.begin(), held.end(), std::not_equal_to<>()) != held.end()) {
    return {std::string(msg::stateMixed)};
  }
  if (differsFrom != nullptr) return {msg::fillIn(msg::stateDiffersFromStock, {differsFrom->path})};
  return {std::string(msg::stateUnknown)};
}

// A game file to judge: the installation's or a copy.
struct FileToJudge {
  std::filesystem::path path;
  std::string_view name;  // as messages print it
  bool available;         // false: its effects are not checked
};

// One state per effect, in menu order.
std::vector<EffectState> effectStates(const FileToJudge& exe, const FileToJudge& package,
                                      GameBuild build) {
  // Unbuffered, so that only the sites are read, not a buffer's worth
  // around each.
  std::ifstream exeIn, packageIn;
  for (auto [in, file] : {std::pair{&exeIn, &exe}, std::pair{&packageIn, &package}}) {
    in->rdbuf()->pubsetbuf(nullptr, 0);
    if (file->available) in->open(file->path, std::ios::binary);
  }
  std::vector<EffectState> states;
  std::size_t first = 0;
  for (std::size_t row = 0; row < menuActions.size(); ++row) {
    if (!menuActions[row].endsGroup) continue;
    const std::span<const MenuAction> rows(&menuActions[first], row + 1 - first);
    const SiteList& list = sitesOf(rows.front());
    const bool onExe = list.target == &exeTarget;
    const FileToJudge& file = onExe ? exe : package;
    std::ifstream& in = onExe ? exeIn : packageIn;
    if (!file.available) {
      states.push_back({std::string(msg::stateNotChecked)});
    } else if (const auto held = in.is_open() ? readSites(in, list, build) : std::nullopt) {
      states.push_back(judgeEffect(rows, first, *held));
    } else {
      states.push_back({msg::fillIn(msg::stateUnreadable, {file.name})});
    }
    first = row + 1;
  }
  return states;
}

// A float as std::to_chars writes it: the shortest text that reads back the
// same, whatever the locale.
std::string shortest(float value) {
  char text[32];
  const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
  return std::string(text, end.ptr);
}

// The shader files action 1 writes.
std::string shaderState() {
  std::optional<ShaderImage> seen;
  bool foreign = false;
  for (const std::string_view name : shaderNames) {
    const std::filesystem::path path = shaderFilePath(name);
    if (!queryFileStatus(path).found) return std::string(msg::shadersMissing);
    const std::optional<Bytes> bytes = readWholeFile(path);
    ShaderImage image{};
    if (bytes && bytes->size() == image.size()) std::ranges::copy(*bytes, image.begin());
    foreign = foreign || !bytes || bytes->size() != image.size() || !isOwnShaderImage(image) ||
              (seen && *seen != image);
    seen = image;
  }
  if (foreign) return std::string(msg::shadersForeign);
  const auto [red, green, blue] = shaderColour(*seen);
  return msg::fillIn(msg::shadersColour, {shortest(red), shortest(green), shortest(blue)});
}

std::string stockFileState(const StockFile& file) {
  const StockFileCheck check = checkStockFile(hostPath(file.path), file);
  std::string why;
  switch (check.state) {
    case StockFileState::Accepted:
      return std::string(msg::stockAccepted);
    case StockFileState::Missing:
      return std::string(msg::stockMissing);
    case StockFileState::NotRegular:
      why = msg::stockNotRegular;
      break;
    case StockFileState::WrongSize:
      why =
          msg::fillIn(msg::stockWrongSize, {std::to_string(check.size), std::to_string(file.size)});
      break;
    case StockFileState::Unreadable:
      why = msg::stockUnreadable;
      break;
    case StockFileState::NotStock:
      why = msg::stockNotStock;
      break;
  }
  return msg::fillIn(msg::stockRefused, {why});
}

// The sums SHA256SUMS lists, by file name, in lower case; nothing unless
// every line is "<64 hex digits>  <name>" as sha256sum writes them ("*"
// before the name in binary mode).
std::optional<std::map<std::string, std::string, std::less<>>> readSums() {
  const std::optional<Bytes> bytes = readWholeFile(hostPath(sumsFile));
  if (!bytes) return std::nullopt;
  std::map<std::string, std::string, std::less<>> sums;
  std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  while (!text.empty()) {
    std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(text.size(), line.size() + 1));
    if (line.ends_with('\r')) line.remove_suffix(1);
    constexpr std::size_t digits = 64;
    if (line.size() <= digits + 2 || line[digits] != ' ' ||
        (line[digits + 1] != ' ' && line[digits + 1] != '*')) {
      return std::nullopt;
    }
    std::string sum(line.substr(0, digits));
    for (char& c : sum) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    sums[std::string(line.substr(digits + 2))] = sum;
  }
  return sums;
}

// The backup's state line, and the build of a complete backup's copies.
std::pair<std::string, std::optional<GameBuild>> checkBackup() {
  if (!queryFileStatus(hostPath(backupFolder)).found) return {std::string(msg::backupNone), {}};
  const auto damaged = [](std::string_view file) {
    return std::pair{msg::fillIn(msg::backupDamaged, {file}), std::optional<GameBuild>()};
  };
  const auto sums = readSums();
  if (!sums) return damaged(sumsFile);
  std::optional<GameBuild> build;
  for (const BackupFile& file : backupFiles) {
    const std::optional<Bytes> copy = readWholeFile(hostPath(file.copy));
    const auto listed = sums->find(file.name);
    if (!copy || listed == sums->end()) return damaged(file.copy);
    const std::optional<std::string> sum = sumOf(*copy);
    if (!sum) return {std::string(msg::backupUnchecked), {}};
    if (*sum != listed->second) return damaged(file.copy);
    if (file.target == &exeTarget) build = buildOfExeSize(copy->size());
  }
  return {std::string(msg::backupMatches), build};
}

}  // namespace

std::optional<Bytes> readWholeFile(const std::filesystem::path& path) {
  const FileStatus status = queryFileStatus(path);
  // No file this program reads whole is larger than the larger package.
  if (!status.found || !status.regular || status.size > buildBPackageSize) return std::nullopt;
  return readFileOfSize(path, status.size);
}

std::optional<std::string> sumOf(const Bytes& bytes) {
  const std::optional<Sha256Digest> digest = sha256(bytes);
  if (!digest) return std::nullopt;
  constexpr std::string_view hex = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : *digest) {
    text += hex[byte >> 4];
    text += hex[byte & 0xF];
  }
  return text;
}

void printCopiesNotStock(GameBuild build) {
  const auto copy = [](std::size_t i, bool available) {
    return FileToJudge{hostPath(backupFiles[i].copy), backupFiles[i].copy, available};
  };
  const FileStatus package = queryFileStatus(copy(1, true).path);
  const std::vector<EffectState> states =
      effectStates(copy(0, true), copy(1, package.size == packageSizeOf(build)), build);
  bool listed = false;
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (states[i].stock) continue;
    if (!listed) printLine(msg::backupNotStock);
    listed = true;
    printLine({msg::listIndent, msg::fillIn(effectLines[i].text, {states[i].text})});
  }
}

int showStatus() {
  const ExeCheck exe = checkExecutable();
  if (!exe.build) {
    printLine(exe.error);
    return 1;
  }
  const GameBuild build = *exe.build;
  const std::string_view letter = build == GameBuild::BuildA ? "A" : "B";
  printLine(msg::fillIn(msg::statusGame, {letter, std::to_string(exe.size)}));
  const std::string_view packageWarning = checkPackage(build);
  printLine(packageWarning.empty()
                ? msg::fillIn(msg::statusPackage, {letter, std::to_string(packageSizeOf(build))})
                : std::string(packageWarning));

  const std::vector<EffectState> states = effectStates(
      {hostPath(exeTarget.path), exeTarget.path, true},
      {hostPath(packageTarget.path), packageTarget.path, packageWarning.empty()}, build);
  for (std::size_t i = 0; i < states.size(); ++i) {
    const std::string& state = states[i].text;
    printLine(msg::fillIn(
        effectLines[i].text,
        {effectLines[i].withShaders ? msg::fillIn(msg::stateWithShaders, {state, shaderState()})
                                    : state}));
  }
  for (const StockFile* file : {&trailStockFile, &glintStockFile}) {
    printLine(msg::fillIn(msg::statusStockData, {file->path, stockFileState(*file)}));
  }
  const auto [backup, copiesBuild] = checkBackup();
  printLine(msg::fillIn(msg::statusBackup, {backup}));
  if (copiesBuild) printCopiesNotStock(*copiesBuild);
  return 0;
}

}  // namespace vn3
