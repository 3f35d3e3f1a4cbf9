#pragma once
// Folder names from a Windows game copied onto a case-sensitive disk often
// differ in case from what the program asks for ("Content" for "CONTENT").
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vn3 {

// The entry that stands for `wanted` among a folder's `entries`: the exact
// name if present, else the first in byte order of those equal to it ignoring
// ASCII case, else nothing.
std::optional<std::string> matchEntryIgnoringCase(std::string_view wanted,
                                                  std::span<const std::string> entries);

}  // namespace vn3
