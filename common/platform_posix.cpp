#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "common/path_match.hpp"
#include "common/platform.hpp"

namespace vn3 {

FileStatus queryFileStatus(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, S_ISREG(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
}

CreateDirResult createDirectory(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return CreateDirResult::Created;
  return errno == EEXIST ? CreateDirResult::AlreadyExists : CreateDirResult::Failed;
}

bool writeRegularFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  // O_NONBLOCK: the open of a pipe or a device must not wait for the other
  // end; such a file is refused right after.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
  while (ok && !bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return ::close(fd) == 0 && ok;
}

namespace {

bool entryExists(const std::filesystem::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  const std::filesystem::directory_iterator end;
  for (std::filesystem::directory_iterator it(folder, ec); !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace

std::filesystem::path hostPath(std::string_view gamePath) {
  std::filesystem::path resolved;
  // Once a component is missing, nothing below it can be found either.
  bool resolving = true;
  while (true) {
    const std::size_t cut = gamePath.find('\\');
    const std::string component(gamePath.substr(0, cut));
    std::filesystem::path next = resolved / component;
    if (resolving && component != "." && component != ".." && !component.empty() &&
        !entryExists(next)) {
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

std::string displayPath(const std::filesystem::path& path) { return path.native(); }

std::filesystem::path executableDirectory() {
  std::error_code ec;
  // Linux names the running executable here; argv[0] would not survive
  // being started through PATH.
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path{} : self.parent_path();
}

}  // namespace vn3
