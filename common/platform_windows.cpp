// The file-system layer on Windows, with the wide-character calls so that any
// folder name the player's installation has is reached.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>

#include "common/platform.hpp"

namespace vn3 {

namespace {

FileStatus failedStatus() {
  const DWORD error = ::GetLastError();
  return {.absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
}

FileStatus statusOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow) {
  const bool regular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  return {true, regular, (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow};
}

// A symbolic link answers for its target, as stat() does on POSIX. The handle
// asks for no access to the contents, only for the target's attributes.
FileStatus targetStatus(const std::filesystem::path& path) {
  const HANDLE handle =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failedStatus();
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = ::GetFileInformationByHandle(handle, &info) != 0;
  ::CloseHandle(handle);
  if (!ok) return {};
  return statusOf(info.dwFileAttributes, info.nFileSizeHigh, info.nFileSizeLow);
}

bool writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes = bytes.subspan(written);
  }
  return true;
}

}  // namespace

FileStatus queryFileStatus(const std::filesystem::path& path, bool ofLink) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return failedStatus();
  if (!ofLink && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return targetStatus(path);
  return statusOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow);
}

CreateDirResult createDirectory(const std::filesystem::path& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr)) return CreateDirResult::Created;
  const DWORD error = ::GetLastError();
  const bool exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
  return exists ? CreateDirResult::AlreadyExists : CreateDirResult::Failed;
}

bool writeRegularFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // A device or a pipe is refused rather than written to.
  const bool ok = ::GetFileType(file) == FILE_TYPE_DISK && writeAll(file, bytes);
  return ::CloseHandle(file) && ok;
}

bool writeNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = writeAll(file, bytes) && ::FlushFileBuffers(file);
  return ::CloseHandle(file) && ok;
}

bool replaceFileDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

RenameResult renameFolderDurably(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
  // No MOVEFILE_REPLACE_EXISTING: a folder takes none, and without it an
  // entry at `to` makes the move fail.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return RenameResult::Renamed;
  const DWORD error = ::GetLastError();
  const bool exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
  return exists ? RenameResult::Exists : RenameResult::Failed;
}

std::uint32_t processId() { return ::GetCurrentProcessId(); }

// Windows has no file-size limit that ends a process.
void failWritesPastSizeLimit() {}

std::filesystem::path hostPath(std::string_view gamePath) {
  // The game's own separator: nothing to map.
  return std::filesystem::path(std::string(gamePath));
}

}  // namespace vn3
