#include "common/console_out.hpp"

#include <iostream>

namespace vn3 {

void printLine(std::string_view text) { std::cout << text << '\n' << std::flush; }

void printLine(std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) std::cout << part;
  std::cout << '\n' << std::flush;
}

void printPrompt(std::string_view text) { std::cout << text << std::flush; }

void reportError(std::string_view text) { printLine({"\n", text, "\n"}); }

void reportSuccess(std::string_view text) { printLine({"\n\n", text, "\n"}); }

}  // namespace vn3
