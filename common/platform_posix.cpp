#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "common/path_match.hpp"
#include "common/platform.hpp"

namespace vn3 {

FileStatus queryFileStatus(const std::filesystem::path& path, bool ofLink) {
  struct stat st {};
  if ((ofLink ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) != 0) {
    return {.absent = errno == ENOENT || errno == ENOTDIR};
  }
  return {true, S_ISREG(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
}

CreateDirResult createDirectory(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return CreateDirResult::Created;
  return errno == EEXIST ? CreateDirResult::AlreadyExists : CreateDirResult::Failed;
}

namespace {

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool writeNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

namespace {

// A rename lives in the folder that holds the new name: flushed too, or a
// power cut may undo it.
bool flushFolderOf(const std::filesystem::path& to) {
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  // Some file systems cannot flush a folder at all; the rename is then as
  // safe as they make it.
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  return ::close(fd) == 0 && ok;
}

}  // namespace

bool replaceFileDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 && flushFolderOf(to);
}

RenameResult renameFolderDurably(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
  // RENAME_NOREPLACE: an entry made at `to` meanwhile is never replaced, not
  // even an empty folder as rename() would. A file system that cannot do it
  // gets the check and the rename as two steps.
  // A kernel before 3.15 has no renameat2 at all.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno == EEXIST) return RenameResult::Exists;
    if (errno != EINVAL && errno != ENOSYS) return RenameResult::Failed;
    if (!queryFileStatus(to, true).absent) return RenameResult::Exists;
    // rename() replaces an empty folder made meanwhile, and fails on a full one.
    if (::rename(from.c_str(), to.c_str()) != 0) {
      return errno == EEXIST || errno == ENOTEMPTY ? RenameResult::Exists : RenameResult::Failed;
    }
  }
  // The folder is in place now: a flush that fails cannot take it back, so
  // it does not make the rename a failure.
  flushFolderOf(to);
  return RenameResult::Renamed;
}

bool writeRegularFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  // O_NONBLOCK: the open of a pipe or a device must not wait for the other
  // end; such a file is refused right after.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
                  writeAll(fd, bytes);
  return ::close(fd) == 0 && ok;
}

std::uint32_t processId() { return static_cast<std::uint32_t>(::getpid()); }

void failWritesPastSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

std::filesystem::path hostPath(std::string_view gamePath) {
  std::filesystem::path resolved;
  // Once a component is missing, nothing below it can be found either.
  bool resolving = true;
  while (true) {
    const std::size_t cut = gamePath.find('\\');
    const std::string component(gamePath.substr(0, cut));
    std::filesystem::path next = resolved / component;
    if (resolving && component != "." && component != ".." && !component.empty() &&
        !queryFileStatus(next, true).found) {
      const auto match = matchEntryIgnoringCase(
          component, folderEntries(resolved.empty() ? std::filesystem::path(".") : resolved));
      resolving = match.has_value();
      if (match) next = resolved / *match;
    }
    resolved = std::move(next);
    if (cut == std::string_view::npos) return resolved;
    gamePath.remove_prefix(cut + 1);
  }
}

}  // namespace vn3
