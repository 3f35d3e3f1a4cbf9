#include "standin.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::uint64_t splitMix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

std::uint64_t patternWord(std::uint64_t seed, std::uint64_t index) {
  return splitMix(seed * 0x100000001B3ULL + index);
}

fs::path makeTempRoot() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vn3patch-e2e.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  }
  // The program names its own folder by its resolved path; resolve ours
  // the same way so the two can be compared.
  return fs::canonical(pattern);
}

// The program built with this suite, or the one the environment's
// VN3PATCH_BINARY names (a packaged build, say).
fs::path programUnderTest() {
  const char* chosen = std::getenv("VN3PATCH_BINARY");
  return chosen != nullptr && *chosen != '\0' ? fs::path(chosen) : fs::path(VN3PATCH_BINARY);
}

// Copies `built` into `folder` as `name`, executable by all.
fs::path copyInto(const fs::path& built, const fs::path& folder, const char* name) {
  const fs::path copy = folder / name;
  fs::create_directories(folder);
  fs::copy_file(built, copy, fs::copy_options::overwrite_existing);
  fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  return copy;
}

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

std::uint8_t patternByte(std::uint64_t seed, std::uint64_t offset) {
  const std::uint64_t word = patternWord(seed, offset / 8);
  return static_cast<std::uint8_t>(0x80 | ((word >> ((offset % 8) * 8)) & 0x7F));
}

GameFile::GameFile(fs::path path, std::uint64_t seed) : path_(std::move(path)), seed_(seed) {}

void GameFile::create(std::uint64_t size) {
  remove();
  expected_.resize(size);
  for (std::uint64_t i = 0; i < size; i += 8) {
    const std::uint64_t word = patternWord(seed_, i / 8);
    for (std::uint64_t j = 0; j < 8 && i + j < size; ++j) {
      expected_[i + j] = static_cast<std::uint8_t>(0x80 | ((word >> (j * 8)) & 0x7F));
    }
  }
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(expected_.data()),
            static_cast<std::streamsize>(expected_.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path_.string());
  kind_ = Kind::File;
}

void GameFile::remove() {
  fs::remove_all(path_);
  expected_.clear();
  expected_.shrink_to_fit();
  kind_ = Kind::Absent;
}

void GameFile::makeDirectory() {
  remove();
  fs::create_directory(path_);
  kind_ = Kind::Directory;
}

void GameFile::overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  expectWrite(offset, bytes);
  std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write into " + path_.string());
}

void GameFile::moveTo(const fs::path& path) {
  fs::create_directories(path.parent_path());
  if (kind_ != Kind::Absent) fs::rename(path_, path);
  path_ = path;
}

void GameFile::expectWrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (kind_ != Kind::File || offset + bytes.size() > expected_.size()) {
    throw std::logic_error("expected write outside " + path_.string());
  }
  std::copy(bytes.begin(), bytes.end(), expected_.begin() + static_cast<std::ptrdiff_t>(offset));
}

::testing::AssertionResult GameFile::matches() const {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path_, ec);
  switch (kind_) {
    case Kind::Absent:
      if (!fs::exists(status)) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << path_ << " exists, but it was removed";
    case Kind::Directory:
      if (fs::is_directory(status)) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << path_ << " is no longer a directory";
    case Kind::File:
      break;
  }
  if (!fs::is_regular_file(status)) {
    return ::testing::AssertionFailure() << path_ << " is no longer a regular file";
  }
  std::ifstream in(path_, std::ios::binary | std::ios::ate);
  Bytes actual(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(actual.data()), static_cast<std::streamsize>(actual.size()));
  if (actual.size() != expected_.size()) {
    return ::testing::AssertionFailure() << path_ << " is " << hex(actual.size())
                                         << " bytes long, expected " << hex(expected_.size());
  }
  if (actual == expected_) return ::testing::AssertionSuccess();

  std::ostringstream report;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] == expected_[i]) continue;
    if (++differing <= 8) {
      report << "\n  at " << hex(i) << ": " << hex(actual[i]) << ", expected " << hex(expected_[i])
             << " (originally " << hex(original(i)) << ")";
    }
  }
  return ::testing::AssertionFailure()
         << path_ << " differs in " << differing << " bytes:" << report.str();
}

StandIn::StandIn()
    : root_(makeTempRoot()),
      program_(programUnderTest()),
      tool_(VN3PATCH_TOOL_BINARY),
      exe(root_ / "System" / "VN3Main.exe", 0xE7E),
      package(root_ / "CONTENT" / "VN3" / "Maps" / "Core_FXBANK.ibt", 0xFBA) {
  fs::create_directories(root_ / "System");
  fs::create_directories(root_ / "CONTENT" / "VN3" / "Maps");
}

StandIn::StandIn(Build exeBuild, Build packageBuild) : StandIn() {
  exe.create(exeSize(exeBuild));
  package.create(packageSize(packageBuild));
}

StandIn::~StandIn() {
  std::error_code ec;
  // A test may have taken away write or search permission from a folder;
  // give it back so that a run as an ordinary user leaves nothing behind.
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::remove_all(root_, ec);
}

const fs::path& StandIn::copyProgram(const fs::path& folder) {
  program_ = copyInto(programUnderTest(), folder.empty() ? root_ / "bin" : folder, "vn3patch");
  return program_;
}

std::string StandIn::openToOthers() {
  if (program_ == programUnderTest()) copyProgram();
  if (tool_ == VN3PATCH_TOOL_BINARY) tool_ = copyInto(tool_, root_ / "bin", "vn3patch-tool");
  const fs::perms folder = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(root_, folder);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root_)) {
    if (entry.is_symlink()) continue;
    if (entry.is_directory()) {
      fs::permissions(entry.path(), folder);
    } else {
      fs::permissions(entry.path(), fs::perms::group_read | fs::perms::others_read,
                      fs::perm_options::add);
    }
  }
  if (::geteuid() != 0) return "";
  for (fs::path p = root_.parent_path();; p = p.parent_path()) {
    if ((fs::status(p).permissions() & fs::perms::others_exec) == fs::perms::none) {
      return p.string() +
             " cannot be searched by other users, so the unprivileged run cannot "
             "reach the stand-in; set TMPDIR to a folder they can reach";
    }
    if (p == p.root_path()) return "";
  }
}

fs::path StandIn::payloadDir() const { return systemDir() / "payload"; }

void StandIn::writeStock(std::string_view fileName, std::span<const std::uint8_t> bytes) {
  fs::create_directories(payloadDir());
  std::ofstream out(payloadDir() / fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write stock file " + std::string(fileName));
}

}  // namespace e2e
