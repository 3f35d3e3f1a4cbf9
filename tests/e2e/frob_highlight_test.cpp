// Menu action 1 from outside: the notice, the optional colour typed on
// standard input, the three shader files and the executable's patch, and
// every way the action can end.
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pty_session.hpp"
#include "standin.hpp"
#include "transcripts.hpp"

namespace e2e {
namespace {

namespace msg = vn3::msg;
namespace fs = std::filesystem;
using text::line;

constexpr std::uint64_t frobSitesA[] = {0x546344, 0x546354, 0x546364};
constexpr std::uint64_t frobSitesB[] = {0x54A33C, 0x54A34C, 0x54A35C};
const char* const shaderNames[] = {"RovizeraDiff", "RovizeraNormal", "Rovizera"};

void expectFrobOn(StandIn& game, Build build) {
  for (const std::uint64_t offset : build == Build::A ? frobSitesA : frobSitesB) {
    game.exe.expectWrite(offset, Bytes{'Z'});
  }
}

// After a yes: the colour prompt, then the terminal's echo of what was typed.
std::string colourPrompt(std::string_view typed) {
  return line() + std::string(msg::colourPrompt) + (typed.empty() ? "" : line(typed));
}

// The shader file as the game loads it: 21 little-endian tokens, the
// assembler's comment as plain text, red, green and blue in tokens 13 to
// 15 and alpha 0.1 in token 16.
Bytes shaderFile(float red, float green, float blue) {
  Bytes bytes;
  const auto token = [&bytes](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  token(0xFFFF0101);
  token(0x0009FFFE);
  for (const char c : std::string_view("D3DX8 Shader Assembler Version 0.91")) {
    bytes.push_back(static_cast<std::uint8_t>(c));
  }
  bytes.push_back(0);
  token(0x00000051);
  token(0xA00F0002);
  for (const float f : {red, green, blue}) token(std::bit_cast<std::uint32_t>(f));
  for (const std::uint32_t v : {0x3DCCCCCDu, 0x00000001u, 0x800F0000u, 0xA0E40002u, 0x0000FFFFu}) {
    token(v);
  }
  return bytes;
}

const Bytes stockColourShader = shaderFile(0.1f, 0.1f, 0.1f);

Bytes readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

::testing::AssertionResult shaderHolds(const StandIn& game, const char* name, const Bytes& image) {
  const fs::path path = game.systemDir() / "Shaders" / (std::string(name) + ".pso");
  if (!fs::is_regular_file(path)) return ::testing::AssertionFailure() << path << " is missing";
  const Bytes actual = readAll(path);
  if (actual == image) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << path << " is " << actual.size() << " bytes";
  for (std::size_t i = 0; i < actual.size() && i < image.size(); ++i) {
    if (actual[i] != image[i]) {
      return failure << ", first difference at byte " << i << ": " << int{actual[i]}
                     << " instead of " << int{image[i]};
    }
  }
  return failure << " instead of " << image.size();
}

::testing::AssertionResult allShadersHold(const StandIn& game, const Bytes& image) {
  for (const char* name : shaderNames) {
    if (auto result = shaderHolds(game, name, image); !result) return result;
  }
  return ::testing::AssertionSuccess();
}

// ---- Answers at the y/N question --------------------------------------------

struct Answer {
  const char* name;
  Build build;
  std::string_view key;
  std::string_view numbers;  // typed after a yes, empty after a no
  Bytes image;               // what the three files then hold
};

void PrintTo(const Answer& a, std::ostream* os) { *os << a.name; }

class AnswerAtQuestion : public ::testing::TestWithParam<Answer> {};

TEST_P(AnswerAtQuestion, WritesThreeShadersThenPatchesTheExecutable) {
  const Answer& a = GetParam();
  StandIn game(a.build);
  expectFrobOn(game, a.build);
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey(a.key));
  if (!a.numbers.empty()) {
    ASSERT_TRUE(session.sendLine(a.numbers));
    ASSERT_TRUE(session.expect(text::success()));
    session.forgetUnread();
  }
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));

  const std::string asked = a.numbers.empty() ? "" : colourPrompt(a.numbers);
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + text::frobNotice() + asked +
                                      text::success() + text::menu(true));
  EXPECT_TRUE(allShadersHold(game, a.image));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

INSTANTIATE_TEST_SUITE_P(
    FrobHighlight, AnswerAtQuestion,
    ::testing::Values(Answer{"NoBuildA", Build::A, "n", "", stockColourShader},
                      Answer{"EnterBuildB", Build::B, "\r", "", stockColourShader},
                      Answer{"OtherLetterIsNo", Build::A, "x", "", stockColourShader},
                      // Clamped each on its own: above 1 to 1, below 0 to 0.
                      Answer{"YesClamps", Build::B, "y", "2 -1 0.5", shaderFile(1.0f, 0.0f, 0.5f)},
                      // Negative zero is not below 0; a huge number saturates, then clamps.
                      Answer{"UpperYesNegativeZero", Build::A, "Y", "-0 1e999 .25",
                             shaderFile(-0.0f, 1.0f, 0.25f)},
                      // A colour with a number that cannot be read is not taken at all.
                      Answer{"YesUnreadableSecond", Build::B, "y", "0.5abc 0.9 0.9",
                             stockColourShader},
                      // Pasted as one write: what follows the colour's line is dropped,
                      // never taken as menu keys (each 7 would run an action).
                      Answer{"PastedSecondLineIsDropped", Build::A, "y", "0.5 0.5 0.5\n0.7 0.7 0.7",
                             shaderFile(0.5f, 0.5f, 0.5f)}),
    [](const auto& test) { return std::string(test.param.name); });

// The colour stays for the rest of the run: a later no reuses it, and
// numbers typed beyond the third wait for the next colour prompt.
TEST(FrobHighlight, ColourAndTypedAheadNumbersLastAcrossActions) {
  StandIn game(Build::B);
  expectFrobOn(game, Build::B);
  PtySession session(game.program(), game.systemDir());

  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.sendLine("1 0 0 0.9 0.8 0.7"));
  ASSERT_TRUE(session.expect(text::success()));
  EXPECT_TRUE(allShadersHold(game, shaderFile(1.0f, 0.0f, 0.0f)));

  // Restoring the executable leaves the shader files alone.
  ASSERT_TRUE(session.sendKey("2"));
  ASSERT_TRUE(session.expect(text::success()));
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("n"));
  ASSERT_TRUE(session.expect(text::success()));
  EXPECT_TRUE(allShadersHold(game, shaderFile(1.0f, 0.0f, 0.0f)));

  // Nothing is typed: the three numbers left over are taken.
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.expect(text::success()));
  EXPECT_TRUE(allShadersHold(game, shaderFile(0.9f, 0.8f, 0.7f)));

  // A number that cannot be read leaves the whole colour as it was.
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.sendLine("0.25 +"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));

  const std::string again = text::success() + text::menu(true);
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + text::frobNotice() +
                                      colourPrompt("1 0 0 0.9 0.8 0.7") + again + again +
                                      text::frobNotice() + again + text::frobNotice() +
                                      colourPrompt("") + again + text::frobNotice() +
                                      colourPrompt("0.25 +") + again);
  EXPECT_TRUE(allShadersHold(game, shaderFile(0.9f, 0.8f, 0.7f)));
  EXPECT_TRUE(game.exe.matches());
}

// Nothing typed for the colour ever runs a menu action: the end of input
// ends one prompt only, and a line typed ahead with Enter (a CR, as it
// arrives while keys are read) is taken at once. What came with it is
// dropped; a key typed once the menu is back runs.
TEST(FrobHighlight, EndOfInputAndTypedAheadLinesStayWithTheirPrompt) {
  StandIn game(Build::B);
  expectFrobOn(game, Build::B);
  game.exe.expectWrite(0x5814B9, Bytes{0x00});
  PtySession session(game.program(), game.systemDir());
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.sendEndOfInput());
  ASSERT_TRUE(session.expect(text::success()));
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.sendLine("0.5 0.5 0.5"));
  ASSERT_TRUE(session.expect(text::success()));
  EXPECT_TRUE(allShadersHold(game, shaderFile(0.5f, 0.5f, 0.5f)));
  ASSERT_TRUE(session.sendKey("1y0.25 0.5 0.75\r3"));
  ASSERT_TRUE(session.expect(text::success() + text::menu(true)));
  session.forgetUnread();
  ASSERT_TRUE(session.sendKey("3"));
  ASSERT_TRUE(session.expect(text::success()));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));

  const std::string again = text::success() + text::menu(true);
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + text::frobNotice() +
                                      colourPrompt("") + again + text::frobNotice() +
                                      colourPrompt("0.5 0.5 0.5") + again + text::frobNotice() +
                                      colourPrompt("") + again + again);
  EXPECT_TRUE(allShadersHold(game, shaderFile(0.25f, 0.5f, 0.75f)));
  EXPECT_TRUE(game.exe.matches());
  EXPECT_TRUE(game.package.matches());
}

// With standard input at its end, a yes takes the current colour at once
// instead of waiting.
TEST(FrobHighlight, NoStandardInputKeepsTheColourWithoutWaiting) {
  StandIn game(Build::A);
  expectFrobOn(game, Build::A);
  PtySession session(game.program(), game.systemDir(), Console::TerminalStdinNull);
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("y"));
  ASSERT_TRUE(session.sendKey("1"));
  ASSERT_TRUE(session.sendKey("Y"));
  ASSERT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string action =
      text::frobNotice() + colourPrompt("") + text::success() + text::menu(true);
  EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + action + action);
  EXPECT_TRUE(allShadersHold(game, stockColourShader));
  EXPECT_TRUE(game.exe.matches());
}

// A key of two codes answers no with its first; the menu then reads its
// second. Page Down's is that of "Q" and quits; F1's is ignored.
TEST(FrobHighlight, TwoCodeKeyAtTheQuestion) {
  struct Case {
    const char* name;
    std::string_view key;
    bool menuQuits;
  };
  for (const Case& c : {Case{"PageDown", "\x1b[6~", true}, Case{"F1", "\x1bOP", false}}) {
    SCOPED_TRACE(c.name);
    StandIn game(Build::B);
    expectFrobOn(game, Build::B);
    PtySession session(game.program(), game.systemDir());
    ASSERT_TRUE(session.sendKey("1"));
    ASSERT_TRUE(session.sendKey(c.key));
    if (!c.menuQuits) {
      ASSERT_TRUE(session.sendKey("q"));
    }
    EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
    EXPECT_EQ(session.transcript(), text::startup() + text::menu(true) + text::frobNotice() +
                                        text::success() + text::menu(true));
    EXPECT_TRUE(allShadersHold(game, stockColourShader));
    EXPECT_TRUE(game.exe.matches());
  }
}

// ---- Failures ---------------------------------------------------------------

// Runs action 1, answering no, and quits; returns what it printed after the
// question.
std::string runDeclined(StandIn& game, const std::function<void()>& afterStart = {}) {
  PtySession session(game.program(), game.systemDir());
  EXPECT_TRUE(session.awaitKeyRead());
  if (afterStart) afterStart();
  EXPECT_TRUE(session.sendKey("1"));
  EXPECT_TRUE(session.sendKey("n"));
  EXPECT_TRUE(session.sendKey("q"));
  EXPECT_EQ(session.waitExit(), ExitStatus::exited(0));
  const std::string head = text::startup() + text::menu(true) + text::frobNotice();
  const std::string all = session.transcript();
  EXPECT_EQ(all.substr(0, head.size()), head);
  return all.size() < head.size() ? all : all.substr(head.size());
}

// Counts as an existing folder, so the first shader file fails.
TEST(FrobHighlight, ShadersIsARegularFile) {
  StandIn game(Build::A);
  const fs::path shaders = game.systemDir() / "Shaders";
  { std::ofstream(shaders, std::ios::binary) << "not a folder"; }
  EXPECT_EQ(runDeclined(game), text::error(msg::shaderSaveFailed) + text::menu(true));
  EXPECT_TRUE(fs::is_regular_file(shaders));
  EXPECT_EQ(readAll(shaders), (Bytes{'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'}));
  EXPECT_TRUE(game.exe.matches());
}

// Writing stops at the first file that fails; the one before it stays.
TEST(FrobHighlight, SecondShaderCannotBeWritten) {
  StandIn game(Build::B);
  fs::create_directories(game.systemDir() / "Shaders" / "RovizeraNormal.pso");
  EXPECT_EQ(runDeclined(game), text::error(msg::shaderSaveFailed) + text::menu(true));
  EXPECT_TRUE(shaderHolds(game, "RovizeraDiff", stockColourShader));
  EXPECT_FALSE(fs::exists(game.systemDir() / "Shaders" / "Rovizera.pso"));
  EXPECT_TRUE(game.exe.matches());
}

// The folder cannot be made for a reason other than an entry in the way:
// here the working folder itself has gone.
TEST(FrobHighlight, FolderCannotBeCreated) {
  StandIn game(Build::B);
  const std::string output = runDeclined(game, [&game] {
    game.exe.remove();
    fs::remove_all(game.systemDir());
  });
  EXPECT_EQ(output, text::error(msg::shaderFolderFailed) + text::menu(true));
  EXPECT_FALSE(fs::exists(game.systemDir()));
  EXPECT_TRUE(game.package.matches());
}

// The shader files are in place before the executable is opened, so they
// are written even when it cannot be.
TEST(FrobHighlight, ExecutableCannotBeOpened) {
  StandIn game(Build::A);
  const std::string output = runDeclined(game, [&game] { game.exe.remove(); });
  EXPECT_EQ(output, text::error(msg::exeOpenFailed) + text::menu(true));
  EXPECT_TRUE(allShadersHold(game, stockColourShader));
  EXPECT_TRUE(game.exe.matches());  // still absent, never created
  EXPECT_TRUE(game.package.matches());
}

}  // namespace
}  // namespace e2e
