#pragma once
// A throw-away game installation for one test: the two game files the
// program patches, at their exact sizes, filled with a known pattern so that
// every byte the program writes shows, and every byte it must not write can
// be checked.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

using Bytes = std::vector<std::uint8_t>;

enum class Build { A, B };

inline constexpr std::uint64_t exeSize(Build b) { return b == Build::A ? 0x624000 : 0x628000; }
inline constexpr std::uint64_t packageSize(Build b) { return b == Build::A ? 0x7CE000 : 0x826800; }
inline const char* buildName(Build b) { return b == Build::A ? "BuildA" : "BuildB"; }

// The pattern byte at `offset` of a file made with `seed`. Every pattern
// byte has its top bit set, so the bytes the program writes as single
// letters, spaces or zeros always differ from what was there.
std::uint8_t patternByte(std::uint64_t seed, std::uint64_t offset);

// One game file and what it must hold.
class GameFile {
 public:
  GameFile(std::filesystem::path path, std::uint64_t seed);

  const std::filesystem::path& path() const { return path_; }

  // A regular file of `size` pattern bytes; it is expected unchanged until
  // expectWrite says otherwise.
  void create(std::uint64_t size);
  void remove();
  void makeDirectory();
  // Puts `bytes` into the file at `offset`, as the game's own data there.
  void overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Moves the file on disk, creating the folders it needs.
  void moveTo(const std::filesystem::path& path);

  std::uint8_t original(std::uint64_t offset) const { return patternByte(seed_, offset); }
  // The program is expected to have written `bytes` at `offset`.
  void expectWrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);

  // The file on disk is exactly what is expected, byte for byte and in
  // size; a removed file is still absent (never re-created), a directory
  // still a directory.
  ::testing::AssertionResult matches() const;

 private:
  enum class Kind { Absent, Directory, File };
  std::filesystem::path path_;
  std::uint64_t seed_;
  Kind kind_ = Kind::Absent;
  Bytes expected_;
};

class StandIn {
  // Declared first: the game files are placed inside it.
  std::filesystem::path root_;
  std::filesystem::path program_;
  std::filesystem::path tool_;

 public:
  // Folders only: System and CONTENT/VN3/Maps, no game files yet.
  StandIn();
  // An executable of `exeBuild`'s size and a package of `packageBuild`'s.
  StandIn(Build exeBuild, Build packageBuild);
  explicit StandIn(Build build) : StandIn(build, build) {}
  ~StandIn();  // removes the whole folder
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path systemDir() const { return root_ / "System"; }

  // The program to run: the built one (or the one the environment's
  // VN3PATCH_BINARY names), or after copyProgram() the copy.
  const std::filesystem::path& program() const { return program_; }
  // Copies the built program into `folder` (by default one of this stand-in's
  // outside the game folders) and runs that from now on, so that files beside
  // it belong to the test.
  const std::filesystem::path& copyProgram(const std::filesystem::path& folder = {});
  // The companion program, vn3patch-tool: the built one, or after
  // openToOthers() a copy.
  const std::filesystem::path& tool() const { return tool_; }
  // Lets any user reach every file: each folder becomes 0755 and each file
  // readable by all (the temporary root starts 0700). A program still run
  // from the build is copied in first, since the build folder may be closed
  // to other users. Run after the tree is laid out. When root, whose
  // unprivileged runs are another user's, returns why that user cannot reach
  // the stand-in if it cannot (the test then skips); otherwise "".
  [[nodiscard]] std::string openToOthers();
  // The folder the program looks in for its stock blocks: payload/ in the
  // System folder, where it runs.
  std::filesystem::path payloadDir() const;
  void writeStock(std::string_view fileName, std::span<const std::uint8_t> bytes);

  GameFile exe;
  GameFile package;
};

}  // namespace e2e
