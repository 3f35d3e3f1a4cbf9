#pragma once
// Folder names from a Windows game copied onto a case-sensitive disk often
// differ in case from what the program asks for ("Content" for "CONTENT").
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vn3 {

// The entry that stands for `wanted` among a folder's `entries`: the exact
// name if present, else the first in byte order of those equal to it ignoring
// ASCII case, else nothing.
std::optional<std::string> matchEntryIgnoringCase(std::string_view wanted,
                                                  std::span<const std::string> entries);

// The names of the entries in `folder`, as they are on POSIX and in UTF-8
// on Windows; none if it cannot be listed.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

// The names in `folder` that match the regular expression `pattern` whole,
// in byte order.
std::vector<std::string> entriesMatching(const std::filesystem::path& folder,
                                         const std::string& pattern);

}  // namespace vn3
