// Prints each text of common/messages.hpp that no player's file given explains
// (all but the screens' fixed furniture and the words used inside other texts)
// and fails if there is one. A text with "{}" is explained by a line holding its
// pieces in order; a word or phrase filling a status line (lower case, no colon)
// only in double quotes; any other by a whole line, trimmed. check.sh compiles
// it with message_names.inc, the header's names: the texts are the compiler's.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "common/messages.hpp"

namespace {

const std::pair<std::string_view, std::string_view> texts[] = {
#include "message_names.inc"
};

constexpr std::string_view unexplained[] = {
    "bannerTitle",      "bannerRule",    "pressAnyKey",          "backupNotice",
    "fileIndent",       "backupExe",     "backupPackage",        "otherPatchesNotice",
    "ownRiskNotice",    "menuItem",      "menuPrompt",           "issuesTitle",
    "issueStealthGlow", "issueCrystals", "customColourQuestion", "colourPrompt",
    "listIndent",       "toolCommands",  "extractTrailWhat",     "extractGlintWhat"};

std::string_view trim(std::string_view s) {
  s.remove_prefix(std::min(s.find_first_not_of(" \t\r"), s.size()));
  return s.substr(0, s.find_last_not_of(" \t\r") + 1);
}

bool explains(std::string_view line, std::string_view text) {
  if (text.find("{}") == text.npos) {
    const bool word = !text.empty() && std::islower(static_cast<unsigned char>(text[0])) &&
                      text.find(':') == text.npos;
    return word ? line.find('"' + std::string(text) + '"') != line.npos : line == text;
  }
  for (std::size_t at = 0;;) {
    const std::size_t slot = text.find("{}");
    const std::string_view piece = text.substr(0, slot);
    if ((at = line.find(piece, at)) == line.npos) return false;
    if (slot == text.npos) return true;
    at += piece.size();
    text.remove_prefix(slot + 2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> lines;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i]);
    for (std::string line; std::getline(file, line);) lines.emplace_back(trim(line));
  }
  int missing = 0;
  for (const auto& [name, text] : texts) {
    if (std::ranges::find(unexplained, name) != std::end(unexplained)) continue;
    if (std::ranges::none_of(lines, [&](auto& line) { return explains(line, trim(text)); })) {
      std::cout << "  " << name << ": " << text << '\n';
      ++missing;
    }
  }
  return missing == 0 ? 0 : 1;
}
