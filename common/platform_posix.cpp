#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <system_error>

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

std::filesystem::path hostPath(std::string_view gamePath) {
  std::string path(gamePath);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::filesystem::path executableDirectory() {
  std::error_code ec;
  // Linux names the running executable here; argv[0] would not survive
  // being started through PATH.
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path{} : self.parent_path();
}

}  // namespace vn3
