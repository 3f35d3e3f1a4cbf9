#include "common/path_match.hpp"

#include <algorithm>
#include <regex>

namespace vn3 {

namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

}  // namespace

std::optional<std::string> matchEntryIgnoringCase(std::string_view wanted,
                                                  std::span<const std::string> entries) {
  std::optional<std::string> best;
  for (const std::string& entry : entries) {
    if (entry == wanted) return entry;
    // std::string compares as unsigned bytes, so the choice does not depend
    // on the order the folder lists its entries in.
    if (equalIgnoringAsciiCase(entry, wanted) && (!best || entry < *best)) best = entry;
  }
  return best;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  const std::filesystem::directory_iterator end;
  for (std::filesystem::directory_iterator it(folder, ec); !ec && it != end; it.increment(ec)) {
    const std::u8string name = it->path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

std::vector<std::string> entriesMatching(const std::filesystem::path& folder,
                                         const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex wanted(pattern);
  for (const std::string& name : folderEntries(folder)) {
    if (std::regex_match(name, wanted)) found.push_back(name);
  }
  std::ranges::sort(found);
  return found;
}

}  // namespace vn3
