#include "common/path_match.hpp"

#include <algorithm>

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

}  // namespace vn3
