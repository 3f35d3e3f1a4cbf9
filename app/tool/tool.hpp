#pragma once
// vn3patch-tool, the patcher's companion: the installation at a glance
// (status), a verified backup of the two game files (backup), and the stock
// data from a package (extract, see extract.hpp). Run from the game's System
// folder; everything it reads and writes is relative to the working
// directory.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"

namespace vn3 {

using Bytes = std::vector<std::uint8_t>;

// The backup folder and its sums file, with the game's backslashes, as
// messages print them.
inline constexpr std::string_view backupFolder = "vn3patch-backup";
inline constexpr std::string_view sumsFile = "vn3patch-backup\\SHA256SUMS";

// A game file in the backup: its copy is the file's own name in the folder.
struct BackupFile {
  const PatchTarget* target;
  std::string_view name;  // as SHA256SUMS lists it
  std::string_view copy;  // the copy's path
};
inline constexpr std::array<BackupFile, 2> backupFiles = {{
    {&exeTarget, "VN3Main.exe", "vn3patch-backup\\VN3Main.exe"},
    {&packageTarget, "Core_FXBANK.ibt", "vn3patch-backup\\Core_FXBANK.ibt"},
}};

// Prints the installation's state and returns the exit status: 0 for a
// supported installation. Writes nothing.
int showStatus();

// Makes the backup, prints what it did, and returns the exit status: 0 when
// both copies were made and checked.
int makeBackup();

// The whole content of a regular file no larger than the larger package;
// nothing if it cannot be read whole.
std::optional<Bytes> readWholeFile(const std::filesystem::path& path);

// The SHA-256 sum of `bytes` in lower-case hex, as sha256sum prints it;
// nothing when the system's hashing fails.
std::optional<std::string> sumOf(const Bytes& bytes);

// When the backup's copies of `build` are not stock at every site the menu
// writes, prints which effects they hold.
void printCopiesNotStock(GameBuild build);

}  // namespace vn3
