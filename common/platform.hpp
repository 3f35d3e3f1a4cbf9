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
  // Not found because no entry has the name; otherwise one may be there
  // that cannot be reached.
  bool absent = false;
};

// A link answers for its target; with `ofLink`, for itself.
FileStatus queryFileStatus(const std::filesystem::path& path, bool ofLink = false);

enum class CreateDirResult { Created, AlreadyExists, Failed };

// Creates one folder. AlreadyExists means an entry of that name is in the
// way, whatever kind of entry it is.
CreateDirResult createDirectory(const std::filesystem::path& path);

// Creates or truncates a regular file and writes `bytes` into it, in place.
// False when it cannot be opened, is anything but a regular file (a pipe or
// a device is refused at once, without waiting on it), or cannot be written
// or closed.
bool writeRegularFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Creates `path`, which must not exist yet, writes `bytes` into it and
// flushes them to the disk before closing. False on any failure; what was
// created is the caller's to remove.
bool writeNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Renames `from` over `to`, replacing a file there, and flushes the rename to
// the disk where the file system allows it.
bool replaceFileDurably(const std::filesystem::path& from, const std::filesystem::path& to);

enum class RenameResult { Renamed, Exists, Failed };

// Renames the folder `from` to `to`, which must not exist: an entry of that
// name makes it fail with Exists and stays as it was. Flushes the rename to
// the disk where the file system allows it.
RenameResult renameFolderDurably(const std::filesystem::path& from,
                                 const std::filesystem::path& to);

// This process's id, for file names no other running instance uses.
std::uint32_t processId();

// From now on a write past the file-size limit fails like any failed write
// instead of ending the program (POSIX's SIGXFSZ).
void failWritesPastSizeLimit();

// Maps a relative path written with the game's backslashes to a path on this
// host, still relative to the working directory.
std::filesystem::path hostPath(std::string_view gamePath);

}  // namespace vn3
