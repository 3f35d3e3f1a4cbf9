#pragma once
// Expected screen output, composed from the program's own message texts.
// The layout (blank lines, tabs, where a prompt stops) is written out here,
// so a change to how the program arranges its output is caught even though
// the texts themselves come from the program's header.
#include <string>
#include <string_view>

#include "common/messages.hpp"

namespace e2e::text {

namespace msg = vn3::msg;

inline std::string line(std::string_view text = {}) { return std::string(text) + "\n"; }

inline std::string banner() { return line() + line(msg::bannerTitle) + line(msg::bannerRule); }

// A start-up check's message: a blank line and the text.
inline std::string checkMessage(std::string_view text) { return line() + line(text); }

// Banner, the executable check's error, and the pause before exit 1.
inline std::string exeCheckFailed(std::string_view error) {
  return banner() + checkMessage(error) + line() + line() + line(msg::pressAnyKey);
}

inline std::string notices() {
  return line() + line(msg::backupNotice) + line() +
         line(std::string(msg::fileIndent) + std::string(msg::backupExe)) +
         line(std::string(msg::fileIndent) + std::string(msg::backupPackage)) + line() +
         line(msg::otherPatchesNotice) + line(msg::ownRiskNotice) + line();
}

// Everything before the first menu, with the package warning if any.
inline std::string startup(std::string_view packageWarning = {}) {
  return banner() + (packageWarning.empty() ? std::string() : checkMessage(packageWarning)) +
         notices();
}

// Appended, not added: GCC 12 misreports "\t" + string at -O3 (-Wrestrict).
inline std::string item(int key) { return line(std::string("\t").append(msg::menuItem[key])); }

// The whole menu, ending in the prompt (no newline).
inline std::string menu(bool packageItems) {
  std::string out = line() + item(1) + item(2) + line() + item(3) + item(4) + line();
  if (packageItems) out += item(5) + item(6) + item(7) + line() + item(8) + item(9) + line();
  return out + item(0) + line() + std::string(msg::menuPrompt);
}

// Action 1's notice, up to and including its y/N question.
inline std::string frobNotice() {
  return line() + line() + line(msg::issuesTitle) + line(msg::issueStealthGlow) +
         line(msg::issueCrystals) + line() + std::string(msg::customColourQuestion);
}

inline std::string success() { return line() + line() + line(msg::patchApplied) + line(); }
inline std::string error(std::string_view text) { return line() + line(text) + line(); }

// A stock file as the messages name it, on every host.
inline std::string stockFile(std::string_view name) { return "payload\\" + std::string(name); }

inline std::string missingStock(std::string_view name) {
  return error(msg::fillIn(msg::missingStockData, {stockFile(name)}));
}
inline std::string stockNotSaved(std::string_view name) {
  return error(msg::fillIn(msg::saveStockFailed, {stockFile(name)}));
}

// A whole run of one action with the full menu: start-up, the action's own
// output ending in `outcome`, the menu again.
inline std::string oneAction(char key, const std::string& outcome) {
  return startup() + menu(true) + (key == '1' ? frobNotice() : "") + outcome + menu(true);
}

}  // namespace e2e::text
