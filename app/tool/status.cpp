// vn3patch-tool status: what the menu's actions have left in the game files,
// told by the menu's own texts, with the stock data and the backup. It only
// reads: the sites of the table of effects, the shader and stock files, and
// the backup.
#include <algorithm>
#include <charconv>
#include <fstream>
#include <functional>

#include "app/installation.hpp"
#include "app/tool/hash/sha256.hpp"
#include "app/tool/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/frob_highlight.hpp"

namespace vn3 {

namespace {

struct EffectState {
  std::string text;
  bool stock = false;  // as after the effect's restore
};

// What each of the effect's sites holds in `file`.
std::optional<std::vector<Bytes>> readSites(std::istream& file, const Effect& effect,
                                            GameBuild build) {
  std::vector<Bytes> held;
  for (const std::uint32_t offset : effect.offsetsFor(build)) {
    auto bytes = readBlockAt(file, offset, effect.length);
    if (!bytes) return std::nullopt;
    held.push_back(std::move(*bytes));
  }
  return held;
}

// The state of `effect` from what its sites hold: the first of its lists,
// in menu order, whose bytes they all hold; the last list restores.
EffectState judgeEffect(const Effect& effect, const std::vector<Bytes>& held) {
  const auto all = [&held](auto&& holds) { return std::ranges::all_of(held, holds); };
  bool differs = false;
  for (std::size_t i = 0; i < siteLists.size(); ++i) {
    const SiteList& list = *siteLists[i];
    if (&list.effect != &effect) continue;
    const std::string_view item = msg::menuItem[list.menuKey];
    const EffectState after{msg::fillIn(list.state, {item}), endsEffect(i)};
    if (!list.bytes.empty()) {
      if (all([&list](const Bytes& site) { return std::ranges::equal(site, list.bytes); })) {
        return after;
      }
      continue;
    }
    const StockFile& file = *effect.stock;
    const StockFileCheck check = checkStockFile(hostPath(file.path), file);
    if (check.state == StockFileState::Unreadable) {
      return {msg::fillIn(msg::stateUnreadable, {file.path})};
    }
    const auto judged = [&](BlockState state) {
      return all([&](const Bytes& site) { return judgeBlock(site, check, file) == state; });
    };
    if (judged(BlockState::Stock)) return after;
    if (judged(BlockState::StockByLead)) return {msg::fillIn(msg::stateStockByLead, {item}), true};
    differs = check.bytes.has_value();
  }
  if (std::adjacent_find(held.begin(), held.end(), std::not_equal_to<>()) != held.end()) {
    return {std::string(msg::stateMixed)};
  }
  if (differs) return {msg::fillIn(msg::stateDiffersFromStock, {effect.stock->path})};
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
  std::vector<EffectState> states;
  for (const Effect& effect : effects) {
    const FileToJudge& file = &effect.target == &exeTarget ? exe : package;
    // Unbuffered, so that only the sites are read, not a buffer's worth
    // around each.
    std::ifstream in;
    in.rdbuf()->pubsetbuf(nullptr, 0);
    if (file.available) in.open(file.path, std::ios::binary);
    if (!file.available) {
      states.push_back({std::string(msg::stateNotChecked)});
    } else if (const auto held = in.is_open() ? readSites(in, effect, build) : std::nullopt) {
      states.push_back(judgeEffect(effect, *held));
    } else {
      states.push_back({msg::fillIn(msg::stateUnreadable, {file.name})});
    }
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
  const auto refused = [](std::string_view why) { return msg::fillIn(msg::stockRefused, {why}); };
  switch (check.state) {
    case StockFileState::Accepted:
      return std::string(msg::stockAccepted);
    case StockFileState::Missing:
      return std::string(msg::stockMissing);
    case StockFileState::Unreadable:
      return msg::fillIn(msg::stateUnreadable, {file.path});
    case StockFileState::NotRegular:
      return refused(msg::stockNotRegular);
    case StockFileState::WrongSize:
      return refused(msg::fillIn(msg::stockWrongSize,
                                 {std::to_string(check.size), std::to_string(file.size)}));
    case StockFileState::NotStock:
      return refused(msg::stockNotStock);
  }
  return {};
}

}  // namespace

ExeCheck checkExecutableAloud() {
  const ExeCheck exe = checkExecutable();
  if (!exe.build) printLine(exe.error);
  return exe;
}

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
  const FileToJudge exe{hostPath(exeCopy), exeCopy, true};
  FileToJudge package{hostPath(packageCopy), packageCopy, true};
  package.available = queryFileStatus(package.path).size == packageSizeOf(build);
  const std::vector<EffectState> states = effectStates(exe, package, build);
  bool listed = false;
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (states[i].stock) continue;
    if (!listed) printLine(msg::backupNotStock);
    listed = true;
    printLine({msg::listIndent, msg::fillIn(effects[i].statusLine, {states[i].text})});
  }
}

int showStatus() {
  const ExeCheck exe = checkExecutableAloud();
  if (!exe.build) return 1;
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
        effects[i].statusLine,
        {effects[i].withShaders ? msg::fillIn(msg::stateWithShaders, {state, shaderState()})
                                : state}));
  }
  for (const Effect& effect : effects) {
    if (!effect.stock) continue;
    printLine(
        msg::fillIn(msg::statusStockData, {effect.stock->path, stockFileState(*effect.stock)}));
  }
  const auto [backup, copiesBuild] = checkBackup();
  printLine(msg::fillIn(msg::statusBackup, {backup}));
  std::vector<std::string> leftovers = backupLeftovers();
  for (std::string& name : stockLeftovers()) leftovers.push_back(std::move(name));
  for (const std::string& name : leftovers) printLine(msg::fillIn(msg::statusLeftover, {name}));
  if (copiesBuild) printCopiesNotStock(*copiesBuild);
  return 0;
}

}  // namespace vn3
