#include <gtest/gtest.h>

#include "app/menu.hpp"

namespace vn3 {
namespace {

TEST(MenuChoice, KeysAndWhatTheyAsk) {
  struct Case {
    int code;
    std::optional<int> withPackage;
    std::optional<int> withoutPackage;
  };
  const std::optional<int> none;
  const Case cases[] = {
      {'q', 0, 0},        {'Q', 0, 0},        {27, 0, 0},  // quit keys
      {0, 0, 0},                                           // first code of F1 to F10
      {-1, 0, 0},                                          // no console
      {'1', 1, 1},        {'4', 4, 4},        {'5', 5, none},
      {'9', 9, none},     {'0', none, none},  {' ', none, none},
      {13, none, none},   {3, none, none},    {0xE0, none, none},  // cursor-block prefix
      {0x51, 0, 0},                                                // Page Down's second code is "Q"
      {0x3B, none, none},                                          // F1's second code
      {0x76, none, none},                                          // Ctrl+Page Down's second code
      {0xF1, none, none}, {0xD1, none, none},                      // Latin-1 letters are not "q"
      {'a', none, none},  {'-', none, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(menuChoice(c.code, true), c.withPackage) << "code " << c.code;
    EXPECT_EQ(menuChoice(c.code, false), c.withoutPackage) << "code " << c.code;
  }
}

}  // namespace
}  // namespace vn3
