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
// The stock file's path.
inline constexpr std::string_view packageBlockDiffers =
    "Error: '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt' holds a block that begins like stock data "
    "but is not the one in '{}', so nothing was changed; see README";
// The stock file's path.
inline constexpr std::string_view stockDataUnreadable =
    "Error: Cannot read stock data '{}', so nothing was changed; see README";

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

// The companion program (vn3patch-tool)

inline constexpr std::string_view toolUsage =
    "usage: vn3patch-tool [status | backup | extract [PACKAGE] | --help | --version]";
// Printed after the usage.
inline constexpr std::string_view toolCommands =
    "Run it from the game's System folder.\n"
    "  status             what is applied, the stock data and the backup (the default); writes "
    "nothing\n"
    "  backup             copies VN3Main.exe and the package into vn3patch-backup\\ with their "
    "SHA-256 sums\n"
    "  extract [PACKAGE]  saves the stock data of PACKAGE (by default the game's package) into "
    "payload\\\n"
    "  --help             this text\n"
    "  --version          the program's name and version";
// The project's version.
inline constexpr std::string_view toolVersion = "vn3patch-tool {}";

// Status: one line each, in this order. The effect lines hold a state below.
// The build (A or B) and the size.
inline constexpr std::string_view statusGame = "Game: build {} (VN3Main.exe, {} bytes)";
inline constexpr std::string_view statusPackage =
    "Package: build {} (..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt, {} bytes)";
inline constexpr std::string_view statusFrob = "Frob highlight: {}";
inline constexpr std::string_view statusLootPct = "Loot percentage: {}";
inline constexpr std::string_view statusTrails = "Arrow trails: {}";
inline constexpr std::string_view statusGlint = "Loot glint: {}";
// The stock file's path and its state.
inline constexpr std::string_view statusStockData = "Stock data {}: {}";
inline constexpr std::string_view statusBackup = "Backup vn3patch-backup\\: {}";
// A temporary file or folder of a save or backup that was killed.
inline constexpr std::string_view statusLeftover = "Leftover from an interrupted run: '{}'";

// An effect's state; the menu item, as the menu prints it, that leaves it so.
inline constexpr std::string_view stateFrobOn = "VN1/2 style, as after \"{}\"";
inline constexpr std::string_view stateStock = "stock, as after \"{}\"";
inline constexpr std::string_view stateLootHidden = "hidden, as after \"{}\"";
inline constexpr std::string_view stateLootShown = "shown, as after \"{}\"";
inline constexpr std::string_view stateOff = "off, as after \"{}\"";
inline constexpr std::string_view stateSubtle = "subtle, as after \"{}\"";
inline constexpr std::string_view stateStockByLead =
    "stock by its first 16 bytes (no stock file), as after \"{}\"";
inline constexpr std::string_view stateMixed = "mixed";
inline constexpr std::string_view stateUnknown = "unknown";
// The stock file's path.
inline constexpr std::string_view stateDiffersFromStock = "unknown (differs from {})";
inline constexpr std::string_view stateNotChecked = "not checked (package not available)";
// The file's path: a game file, a stock file, or a file or folder of the backup.
inline constexpr std::string_view stateUnreadable = "not checked ('{}' cannot be read)";
// The frob highlight's state, and the shader files' below.
inline constexpr std::string_view stateWithShaders = "{}; shaders: {}";
inline constexpr std::string_view shadersColour = "colour {} {} {}";
inline constexpr std::string_view shadersMissing = "missing";
inline constexpr std::string_view shadersForeign = "not this program's";

// A stock file's state; the reason of a refusal below.
inline constexpr std::string_view stockAccepted = "accepted";
inline constexpr std::string_view stockMissing = "missing";
inline constexpr std::string_view stockRefused = "refused ({})";
inline constexpr std::string_view stockNotRegular = "not a regular file";
// Its size and the size a stock file has.
inline constexpr std::string_view stockWrongSize = "{} bytes, not {}";
inline constexpr std::string_view stockNotStock = "does not begin with the stock bytes";

// The backup's state.
inline constexpr std::string_view backupNone = "none";
inline constexpr std::string_view backupMatches = "complete, sums match";
// The first file found missing, not a regular file, not listed once, or not matching.
inline constexpr std::string_view backupDamaged = "damaged: {}";
inline constexpr std::string_view backupUnchecked = "not checked (SHA-256 is not available)";
// Followed by one effect line each, after listIndent.
inline constexpr std::string_view backupNotStock =
    "The copies in vn3patch-backup\\ are not stock; they hold:";
inline constexpr std::string_view listIndent = "  ";

// Backup (vn3patch-tool backup)
inline constexpr std::string_view backupExists =
    "Error: vn3patch-backup exists already, so nothing was written; move it away or delete it "
    "to make a new backup";
inline constexpr std::string_view backupNeedsPackage =
    "Error: nothing was written: a backup needs the package of the executable's build";
// The game file's path.
inline constexpr std::string_view backupReadFailed =
    "Error: failed to read '{}', so no backup was made";
// The path of the file or folder.
inline constexpr std::string_view backupWriteFailed =
    "Error: failed to write '{}', so no backup was made; make sure the folder can be written "
    "and the disk is not full";
// The copy's path.
inline constexpr std::string_view backupCheckFailed =
    "Error: '{}' did not read back as written, so no backup was made";
inline constexpr std::string_view backupHashFailed =
    "Error: SHA-256 is not available on this system, so no backup was made";
// The game file's path, the copy's, its size and its SHA-256 sum.
inline constexpr std::string_view backupCopied =
    "Copied '{}' to '{}': {} bytes, SHA-256 {}, flushed to the disk";
// The game file's path.
inline constexpr std::string_view backupChanged =
    "Error: '{}' changed while it was being copied, so no backup was made; close the game and "
    "anything that updates it, then run the backup again";
inline constexpr std::string_view backupComplete =
    "Backup complete: vn3patch-backup\\ holds both copies, and SHA256SUMS their sums";

// Extract (vn3patch-tool extract)
inline constexpr std::string_view extractNeedsInstallation =
    "Error: nothing was written: run this command from the game's System folder, beside "
    "VN3Main.exe and with its package at '..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt'";
inline constexpr std::string_view extractNoPackage =
    "Error: cannot read the package '{}': run this command from the game's System folder, or "
    "give the package's path";
inline constexpr std::string_view extractWrongSize =
    "Error: '{}' is {} bytes, which is the package of neither supported build (8183808 or "
    "8546304 bytes)";
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
// What the block is, and the stock file's path. Also printed by backup.
inline constexpr std::string_view extractRefusedOther =
    "Refused the {}: '{}' holds other stock data already and was left as it is; see README";
// The stock file's path, and what it is. Also printed by backup.
inline constexpr std::string_view extractKept = "Kept '{}': it holds this {} already";

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
