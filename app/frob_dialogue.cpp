#include "app/frob_dialogue.hpp"

#include "app/console/console.hpp"
#include "app/menu.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "patch/frob_highlight.hpp"

namespace vn3 {

void activateFrobHighlight(Session& session) {
  printLine();
  printLine();
  printLine(msg::issuesTitle);
  printLine(msg::issueStealthGlow);
  printLine(msg::issueCrystals);
  printLine();
  printPrompt(msg::customColourQuestion);
  // The answer is a key from the console; numbers come from standard input.
  if (const int key = readKey(); key == 'y' || key == 'Y') {
    printLine();
    printPrompt(msg::colourPrompt);
    // Typed on the terminal, the numbers are echoed and edited as a line.
    const LineInput line;
    const auto [red, green, blue] = session.numbers.readColour(shaderColour(session.shaderImage));
    setShaderColour(session.shaderImage, red, green, blue);
  }
  reportOutcome(installFrobHighlight(session.shaderImage, session.currentBuild));
}

}  // namespace vn3
