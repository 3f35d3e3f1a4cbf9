// Prints the messages a player can meet that the README given as argument
// does not explain, and fails if there are any: each text of
// common/messages.hpp that begins "Error:", "Warning:", "Refused", "Wrote" or
// "usage:" must stand on a line of it, both trimmed, "{}" matching anything.
// check.sh compiles it with message_names.inc, the names the header
// declares, so the texts are the compiler's, joined literals and escapes too.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/messages.hpp"

namespace {

const std::string_view texts[] = {
#include "message_names.inc"
};

constexpr std::string_view starts[] = {"Error:", "Warning:", "Refused", "Wrote", "usage:"};

std::string_view trim(std::string_view s) {
  s.remove_prefix(std::min(s.find_first_not_of(" \t\r"), s.size()));
  return s.substr(0, s.find_last_not_of(" \t\r") + 1);
}

// The text's pieces between slots, in order: the first starts the line, the
// last ends it, each other one at its first place after the one before.
bool matches(std::string_view line, std::string_view text) {
  std::size_t slot = text.find("{}");
  if (slot == text.npos) return line == text;
  if (!line.starts_with(text.substr(0, slot))) return false;
  for (; slot != text.npos; slot = text.find("{}")) {
    const std::size_t at = line.find(text.substr(0, slot));
    if (at == line.npos) return false;
    line.remove_prefix(at + slot);
    text.remove_prefix(slot + 2);
  }
  return line.ends_with(text);
}

}  // namespace

int main(int, char** argv) {
  std::ifstream readme(argv[1]);
  std::vector<std::string> lines;
  for (std::string line; std::getline(readme, line);) lines.emplace_back(trim(line));
  int missing = 0;
  for (std::string_view text : texts) {
    text = trim(text);
    const bool shown =
        std::ranges::any_of(starts, [&](auto start) { return text.starts_with(start); });
    if (shown && std::ranges::none_of(lines, [&](auto& line) { return matches(line, text); })) {
      std::cout << "  " << text << '\n';
      ++missing;
    }
  }
  return missing == 0 ? 0 : 1;
}
