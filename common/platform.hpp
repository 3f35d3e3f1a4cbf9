#pragma once
// What the program needs from the operating system's file system. One
// implementation per platform, picked by the build.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace vn3 {

struct FileStatus {
  bool found = false;    // the status query succeeded
  bool regular = false;  // a regular file, not a folder or anything else
  std::uint64_t size = 0;
};

FileStatus queryFileStatus(const std::filesystem::path& path);

enum class CreateDirResult { Created, AlreadyExists, Failed };

// Creates one folder. AlreadyExists means an entry of that name is in the
// way, whatever kind of entry it is.
CreateDirResult createDirectory(const std::filesystem::path& path);

// Creates or truncates a regular file and writes `bytes` into it, in place.
// False when it cannot be opened, is anything but a regular file (a pipe or
// a device is refused at once, without waiting on it), or cannot be written
// or closed.
bool writeRegularFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Maps a relative path written with the game's backslashes to a path on this
// host, still relative to the working directory.
std::filesystem::path hostPath(std::string_view gamePath);

// A path as messages print it, in the console's code page on Windows.
// Never fails: a character the page lacks becomes its stand-in character.
std::string displayPath(const std::filesystem::path& path);

// The folder of the running program's executable; empty if it cannot be found.
std::filesystem::path executableDirectory();

}  // namespace vn3
