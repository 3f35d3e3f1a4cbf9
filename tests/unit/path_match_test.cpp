#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_match.hpp"

namespace vn3 {
namespace {

TEST(MatchEntryIgnoringCase, ExactWinsThenFirstInByteOrder) {
  struct Case {
    const char* wanted;
    std::vector<std::string> entries;
    std::optional<std::string> match;
  };
  const Case cases[] = {
      {"CONTENT", {"Content", "CONTENT", "content"}, "CONTENT"},  // exact, wherever it stands
      {"CONTENT", {"content", "Content"}, "Content"},             // 'C' sorts before 'c'
      {"CONTENT", {"cOntent", "conTENT"}, "cOntent"},
      {"Shaders", {"shaders"}, "shaders"},
      {"Shaders", {"shader", "Shaders.bak", "xShaders"}, std::nullopt},
      {"Maps", {}, std::nullopt},
      // Only ASCII letters fold; other bytes must match as they are.
      {"caf\xC3\xA9", {"CAF\xC3\x89"}, std::nullopt},
      {"caf\xC3\xA9", {"CAF\xC3\xA9"}, "CAF\xC3\xA9"},
      {"a_b", {"A_B", "A-B"}, "A_B"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(matchEntryIgnoringCase(c.wanted, c.entries), c.match) << c.wanted;
  }
}

}  // namespace
}  // namespace vn3
