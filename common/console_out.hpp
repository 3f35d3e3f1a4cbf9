#pragma once
// Console output. Each call flushes what it printed, so the user sees it
// before the program goes on to wait for a key.
#include <initializer_list>
#include <string_view>

namespace vn3 {

void printLine(std::string_view text = {});                     // text, newline, flush
void printLine(std::initializer_list<std::string_view> parts);  // all of them, newline, flush
void printPrompt(std::string_view text);  // text, flush; the answer follows on this line

// Outcome of an action: a newline, the text, two newlines.
void reportError(std::string_view text);
// Outcome of a successful patch: two newlines, the text, two newlines.
void reportSuccess(std::string_view text);

}  // namespace vn3
