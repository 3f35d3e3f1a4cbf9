#pragma once
// vn3patch-tool, the patcher's companion: the installation at a glance
// (status), a verified backup of the two game files (backup), and the stock
// data from a package (extract). Run from the game's System folder;
// everything it reads and writes is relative to the working directory.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/installation.hpp"
#include "common/game_build.hpp"
#include "patch/patch_sites.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

using Bytes = std::vector<std::uint8_t>;

// The installation check of start-up; its message is printed when the
// executable will not do.
ExeCheck checkExecutableAloud();

// Prints the installation's state and returns the exit status: 0 for a
// supported installation. Writes nothing.
int showStatus();

// Makes the backup, prints what it did, and returns the exit status: 0 when
// both copies were made and checked.
int makeBackup();

// The backup's copies of the game files, with the game's backslashes.
inline constexpr std::string_view exeCopy = "vn3patch-backup\\VN3Main.exe";
inline constexpr std::string_view packageCopy = "vn3patch-backup\\Core_FXBANK.ibt";

// The backup's state line, and the build of a complete backup's copies; the
// leftovers of backups that were killed.
std::pair<std::string, std::optional<GameBuild>> checkBackup();
std::vector<std::string> backupLeftovers();

// Saves the stock data of `package` (the game's package, or the one the
// player names, as typed) into the payload folder of the working directory.
// Returns the exit status: 0 when both files hold it now.
int extractStockData(std::optional<std::string_view> package);

// Prints what capturing the stock block of `effect` did, as extract and
// backup report it (nothing for a block that is not stock with `quietIfNotStock`);
// true when the stock file holds the block now.
bool reportCapture(Capture capture, const Effect& effect, std::string_view packageName,
                   bool quietIfNotStock);

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
