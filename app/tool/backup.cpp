// vn3patch-tool backup: both game files copied into vn3patch-backup\ with
// their SHA-256 sums in SHA256SUMS, which this file alone writes and reads.
// The backup is made whole in a temporary folder beside it and renamed
// last, so it is all there or not there; the game files are only read.
#include <algorithm>
#include <cctype>
#include <map>
#include <span>
#include <system_error>

#include "app/installation.hpp"
#include "app/tool/tool.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/path_match.hpp"
#include "common/platform.hpp"

namespace vn3 {

namespace {

// The backup folder and its sums file, with the game's backslashes, as
// messages print them.
constexpr std::string_view backupFolder = "vn3patch-backup";
constexpr std::string_view sumsFile = "vn3patch-backup\\SHA256SUMS";

// A game file in the backup: its copy is the file's own name in the folder.
struct BackupFile {
  const PatchTarget& target;
  std::string_view name;  // as SHA256SUMS lists it
  std::string_view copy;  // the copy's path
};
const std::array<BackupFile, 2> backupFiles = {{
    {exeTarget, "VN3Main.exe", exeCopy},
    {packageTarget, "Core_FXBANK.ibt", packageCopy},
}};

std::span<const std::uint8_t> asBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The sums SHA256SUMS lists, by file name, in lower case; nothing unless
// every line is "<64 hex digits>  <name>" as sha256sum writes them ("*"
// before the name in binary mode) and no name is listed twice.
std::optional<std::map<std::string, std::string, std::less<>>> parseSums(const Bytes& bytes) {
  std::map<std::string, std::string, std::less<>> sums;
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
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
    if (!sums.emplace(line.substr(digits + 2), sum).second) return std::nullopt;
  }
  return sums;
}

// A file of the backup read whole; else `stop` says why it cannot be checked
// or is damaged.
std::optional<Bytes> readBackupFile(std::string_view name, std::string& stop) {
  const std::filesystem::path path = hostPath(name);
  if (auto bytes = readWholeFile(path)) return bytes;
  const FileStatus status = queryFileStatus(path);
  const bool damaged =
      status.absent || (status.found && !status.regular) || status.size > buildBPackageSize;
  stop = msg::fillIn(damaged ? msg::backupDamaged : msg::stateUnreadable, {name});
  return std::nullopt;
}

// Copies both game files of `build`, its executable of `exeSize` bytes, into `folder` (`folderName`
// in messages), each through a file flushed to the disk and read back against its sum, then writes
// SHA256SUMS. Returns the failure's message, or nothing; `report` gets a line per copy, and
// `package` the package's bytes.
std::string copyInto(const std::filesystem::path& folder, std::string_view folderName,
                     GameBuild build, std::uint64_t exeSize, std::vector<std::string>& report,
                     Bytes& package) {
  std::string sums;
  for (const BackupFile& file : backupFiles) {
    const std::filesystem::path game = hostPath(file.target.path);
    const std::uint64_t size = &file.target == &exeTarget ? exeSize : packageSizeOf(build);
    std::optional<Bytes> bytes = readWholeFile(game);
    // A store update or another tool at work: the copy would be of neither build.
    if (queryFileStatus(game).size != size || (bytes && bytes->size() != size)) {
      return msg::fillIn(msg::backupChanged, {file.target.path});
    }
    if (!bytes) return msg::fillIn(msg::backupReadFailed, {file.target.path});
    const std::optional<std::string> sum = sumOf(*bytes);
    if (!sum) return std::string(msg::backupHashFailed);
    const std::filesystem::path copy = folder / std::string(file.name);
    const std::string copyName = std::string(folderName).append("\\").append(file.name);
    if (!writeNewFileDurably(copy, *bytes)) return msg::fillIn(msg::backupWriteFailed, {copyName});
    const std::optional<Bytes> back = readWholeFile(copy);
    if (!back || sumOf(*back) != sum) return msg::fillIn(msg::backupCheckFailed, {copyName});
    sums.append(*sum).append("  ").append(file.name).append("\n");
    report.push_back(msg::fillIn(
        msg::backupCopied, {file.target.path, file.copy, std::to_string(bytes->size()), *sum}));
    if (&file.target == &packageTarget) package = std::move(*bytes);
  }
  if (!writeNewFileDurably(folder / "SHA256SUMS", asBytes(sums))) {
    return msg::fillIn(msg::backupWriteFailed, {std::string(folderName).append("\\SHA256SUMS")});
  }
  return {};
}

}  // namespace

std::pair<std::string, std::optional<GameBuild>> checkBackup() {
  const std::filesystem::path folder = hostPath(backupFolder);
  if (queryFileStatus(folder, true).absent) return {std::string(msg::backupNone), {}};
  // There, but a link that leads nowhere or a folder that cannot be listed.
  std::error_code unlisted;
  std::filesystem::directory_iterator(folder, unlisted);
  if (unlisted) return {msg::fillIn(msg::stateUnreadable, {backupFolder}), {}};
  std::string stop;
  const std::optional<Bytes> sumsBytes = readBackupFile(sumsFile, stop);
  if (!sumsBytes) return {stop, {}};
  const auto sums = parseSums(*sumsBytes);
  if (!sums) return {msg::fillIn(msg::backupDamaged, {sumsFile}), {}};
  std::optional<GameBuild> build;
  for (const BackupFile& file : backupFiles) {
    const std::optional<Bytes> copy = readBackupFile(file.copy, stop);
    if (!copy) return {stop, {}};
    const auto listed = sums->find(file.name);
    const std::optional<std::string> sum = sumOf(*copy);
    if (!sum) return {std::string(msg::backupUnchecked), {}};
    if (listed == sums->end() || *sum != listed->second) {
      return {msg::fillIn(msg::backupDamaged, {file.copy}), {}};
    }
    if (&file.target == &exeTarget) build = buildOfExeSize(copy->size());
  }
  return {std::string(msg::backupMatches), build};
}

std::vector<std::string> backupLeftovers() {
  return entriesMatching(".", R"(vn3patch-backup\.[0-9]+\.tmp)");
}

int makeBackup() {
  const ExeCheck exe = checkExecutableAloud();
  if (!exe.build) return 1;
  const GameBuild build = *exe.build;
  if (const std::string_view warning = checkPackage(build); !warning.empty()) {
    printLine(warning);
    printLine(msg::backupNeedsPackage);
    return 1;
  }
  // Any entry, a link that leads nowhere too, before anything is copied.
  const std::filesystem::path target = hostPath(backupFolder);
  if (queryFileStatus(target, true).found) {
    printLine(msg::backupExists);
    return 1;
  }

  // A name no other running instance uses.
  const std::string temporaryName =
      std::string(backupFolder).append(".").append(std::to_string(processId())).append(".tmp");
  const std::filesystem::path temporary = hostPath(temporaryName);
  std::error_code ec;
  // A leftover of a backup killed in an earlier process with the same id.
  std::filesystem::remove_all(temporary, ec);
  if (createDirectory(temporary) != CreateDirResult::Created) {
    // Not made here, so not removed either.
    printLine(msg::fillIn(msg::backupWriteFailed, {temporaryName}));
    return 1;
  }
  std::vector<std::string> report;
  Bytes package;
  std::string failure = copyInto(temporary, temporaryName, build, exe.size, report, package);
  if (failure.empty()) {
    const RenameResult renamed = renameFolderDurably(temporary, target);
    // Another backup may have put its folder there meanwhile.
    if (renamed == RenameResult::Exists) failure = msg::backupExists;
    if (renamed == RenameResult::Failed)
      failure = msg::fillIn(msg::backupWriteFailed, {backupFolder});
  }
  if (!failure.empty()) {
    std::filesystem::remove_all(temporary, ec);
    printLine(failure);
    return 1;
  }

  for (const std::string& line : report) printLine(line);
  printLine(msg::backupComplete);
  printCopiesNotStock(build);
  // The stock blocks as the patcher would keep them before an overwrite.
  for (const Effect& effect : effects) {
    if (!effect.stock) continue;
    const auto at = package.begin() + effect.offsetsFor(build).front();
    const Bytes block(at, at + static_cast<std::ptrdiff_t>(effect.stock->size));
    reportCapture(captureStockBlock(block, *effect.stock), effect, packageTarget.path, true);
  }
  return 0;
}

}  // namespace vn3
