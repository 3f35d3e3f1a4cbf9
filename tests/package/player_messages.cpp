// Lists the messages a player can meet that the README given as argument
// does not explain: each text of common/messages.hpp that begins "Error:",
// "Warning:", "Refused", "Wrote" or "usage:" must stand on a line of it,
// both trimmed, with "{}" matching any characters. check.sh compiles this
// with message_names.inc, the header's names it declares, so that the texts
// are the compiler's: joined literals and escapes as the program prints them.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.hpp"

namespace {

const std::string_view texts[] = {
#include "message_names.inc"
};

std::string_view trim(std::string_view s) {
  s.remove_prefix(std::min(s.find_first_not_of(" \t\r"), s.size()));
  return s.substr(0, s.find_last_not_of(" \t\r") + 1);
}

bool matches(std::string_view line, std::string_view text) {
  std::size_t slot = text.find("{}");
  if (slot == text.npos) return line == text;
  if (!line.starts_with(text.substr(0, slot))) return false;
  line.remove_prefix(slot);
  text.remove_prefix(slot + 2);
  // Each piece between two slots at its first place; the last ends the line.
  for (slot = text.find("{}"); slot != text.npos; slot = text.find("{}")) {
    const std::size_t at = line.find(text.substr(0, slot));
    if (at == line.npos) return false;
    line.remove_prefix(at + slot);
    text.remove_prefix(slot + 2);
  }
  return line.ends_with(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream readme(argv[1]);
  std::vector<std::string> lines;
  for (std::string line; std::getline(readme, line);) lines.emplace_back(trim(line));
  int missing = 0;
  for (std::string_view text : texts) {
    text = trim(text);
    const auto begins = [&](std::string_view start) { return text.starts_with(start); };
    const auto explains = [&](const std::string& line) { return matches(line, text); };
    if ((begins("Error:") || begins("Warning:") || begins("Refused") || begins("Wrote") ||
         begins("usage:")) &&
        std::none_of(lines.begin(), lines.end(), explains)) {
      std::cout << "  " << text << '\n';
      ++missing;
    }
  }
  return missing == 0 ? 0 : 1;
}
