#include "patch/frob_highlight.hpp"

#include <iostream>
#include <string_view>

#include "app/console.hpp"
#include "app/read_key.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/colour_input.hpp"
#include "patch/patch_sites.hpp"
#include "patch/shader_image.hpp"

namespace vn3 {

namespace {

// The game's three highlight shaders, all replaced by the same image.
constexpr std::string_view shaderNames[] = {"RovizeraDiff", "RovizeraNormal", "Rovizera"};

// Standard input's numbers for the whole run, so that what is typed after
// the third number waits for the next colour prompt.
NumberReader& standardInputNumbers() {
  static NumberReader reader(std::cin);
  return reader;
}

void askForColour() {
  printPrompt(msg::customColourQuestion);
  // The answer is a key from the console; numbers come from standard input.
  const int key = readKey();
  if (key != 'y' && key != 'Y') return;
  printLine();
  printPrompt(msg::colourPrompt);
  const LineInput line;
  const auto [red, green, blue] = readColour(standardInputNumbers(), shaderColour());
  setShaderColour(red, green, blue);
}

}  // namespace

bool ensureShaderFolder() {
  return createDirectory(hostPath("Shaders")) != CreateDirResult::Failed;
}

void activateFrobHighlight() {
  printLine();
  printLine();
  printLine(msg::issuesTitle);
  printLine(msg::issueStealthGlow);
  printLine(msg::issueCrystals);
  printLine();
  askForColour();

  if (!ensureShaderFolder()) {
    reportError(msg::shaderFolderFailed);
    return;
  }
  // The shaders go first: the executable is patched only once the game has
  // them to load.
  for (std::string_view name : shaderNames) {
    if (!writeShaderFile(name)) {
      reportError(msg::shaderSaveFailed);
      return;
    }
  }
  runSiteList(frobOn);
}

}  // namespace vn3
