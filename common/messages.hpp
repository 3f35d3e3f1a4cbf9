#pragma once
// Every text the program prints, in one place, so that transcript tests can
// name them. Spelling and spacing are the program's own and must not change.
// A text that carries values holds a "{}" for each, filled in by fillIn.
#include <initializer_list>
#include <string>
#include <string_view>

namespace vn3::msg {

// Start-up
inline constexpr std::string_view bannerTitle = "Vantor3 v1.0 patcher v0.5";
inline constexpr std::string_view bannerRule = "------------------------";
inline constexpr std::string_view pressAnyKey = "<press any key>";
inline constexpr std::string_view exeMissing =
    "Error: run this application from the Vantor3\\System folder";
inline constexpr std::string_view exeNotRegular =
    "Error: unknown error, VN3Main.exe cannot be accessed";
inline constexpr std::string_view exeWrongVersion =
    "Error: this application does not work with the version of Vantor3 found";
inline constexpr std::string_view packageInaccessible =
    "Warning: cannot access ..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt, some options will not be "
    "available";
inline constexpr std::string_view packageWrongVersion =
    "Warning: wrong version of..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt, some options will not be "
    "available";
inline constexpr std::string_view backupNotice =
    "IMPORTANT: Make a backups of following files before using this application:";
inline constexpr std::string_view fileIndent = "           \t";  // eleven spaces and a tab
inline constexpr std::string_view backupExe = "VN3Main.exe";
inline constexpr std::string_view backupPackage = "CONTENT\\VN3\\Maps\\Core_FXBANK.ibt";
inline constexpr std::string_view otherPatchesNotice =
    "           This application may or may not work together with other patches.";
inline constexpr std::string_view ownRiskNotice =
    "           Use this application at your own risk.";

// Menu
inline constexpr std::string_view menuItem[10] = {
    "Q. Quit",
    "1. Activate VN1/2 style frob highlight",
    "2. Restore VN3 frob highlight",
    "3. Disable loot percentage",
    "4. Restore loot percentage",
    "5. Disable arrow trails",
    "6. Replace arrow trails with subtle trails",
    "7. Restore arrow trails",
    "8. Disable loot glint",
    "9. Restore loot glint",
};
inline constexpr std::string_view menuPrompt = "Pick one, vesker> ";

// Patching
inline constexpr std::string_view patchApplied = "-- Patch Applied --";
inline constexpr std::string_view exeOpenFailed =
    "Error: Failed to open 'VN3Main.exe', make sure the file is not read-only and not running";
inline constexpr std::string_view exeLocateFailed = "Error: Failed to locate data in 'VN3Main.exe'";
inline constexpr std::string_view exeWriteFailed = "Error: Failed to write data to 'VN3Main.exe'";
inline constexpr std::string_view packageOpenFailed =
    "Error: Failed to open '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt', make sure the file is not "
    "read-only and not in use";
inline constexpr std::string_view packageLocateFailed =
    "Error: Failed to locate data in '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt'";
inline constexpr std::string_view packageWriteFailed =
    "Error: Failed to write data to '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt'";
// The stock file's path.
inline constexpr std::string_view missingStockData = "Error: Missing stock data '{}', see README";
// The stock file's path.
inline constexpr std::string_view saveStockFailed =
    "Error: Failed to save stock data to '{}', nothing was changed; make sure the folder can be "
    "written and the disk is not full";

// Frob highlight
inline constexpr std::string_view issuesTitle = "ISSUES:";
inline constexpr std::string_view issueStealthGlow = "    Breaks stealth glow in 3rd person";
inline constexpr std::string_view issueCrystals =
    "    Breaks rendering of certain objects (crystals almost invisible)";
inline constexpr std::string_view customColourQuestion =
    "Would you like to specify custom frob color (y/N)> ";
inline constexpr std::string_view colourPrompt =
    "Enter 3 number between 0 and 1 in RGB order (default is 0.1 0.1 0.1)> ";
inline constexpr std::string_view shaderFolderFailed = "Error: Failed to create 'Shaders' folder";
inline constexpr std::string_view shaderSaveFailed =
    "Error: Failed to save custom shader in 'Shaders' folder";

// The stock-data extractor (vn3patch-extract)

inline constexpr std::string_view extractUsage = "usage: vn3patch-extract [PACKAGE]";
inline constexpr std::string_view extractNoPackage =
    "Error: cannot read the package '{}': run this command from the game's System folder, or "
    "give the package's path";
inline constexpr std::string_view extractWrongSize =
    "Error: '{}' is {} bytes, which is the package of neither supported build (8183808 or "
    "8546304 bytes)";
inline constexpr std::string_view extractFolderFailed = "Error: cannot create the folder '{}'";
// The package's path.
inline constexpr std::string_view extractReadFailed = "Error: failed to read from '{}'";
// The stock file's path.
inline constexpr std::string_view extractWriteFailed = "Error: failed to write '{}'";
inline constexpr std::string_view extractTrailWhat = "arrow-trail stock data";
inline constexpr std::string_view extractGlintWhat = "loot-glint stock data";
// What the block is, and the package's path.
inline constexpr std::string_view extractNotStock =
    "Refused the {}: '{}' does not hold the stock bytes there (it may have been patched, or "
    "it may not be an original package). Run this command on a backup of the package made "
    "before any patching.";
// The stock file's path, its size, what it is.
inline constexpr std::string_view extractWrote = "Wrote '{}' ({} bytes of {})";

// `text` with each "{}" replaced by the next of `values`, in order.
inline std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values) {
  constexpr std::string_view slot = "{}";
  std::string filled;
  // Appended piece by piece: GCC 12 misreports chained string additions at -O3 (-Wrestrict).
  for (const std::string_view value : values) {
    const std::size_t at = text.find(slot);
    if (at == std::string_view::npos) break;
    filled.append(text.substr(0, at));
    filled.append(value);
    text.remove_prefix(at + slot.size());
  }
  filled.append(text);
  return filled;
}

}  // namespace vn3::msg
