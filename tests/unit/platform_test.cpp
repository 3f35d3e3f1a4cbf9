// The file-system layer, the same checks on every platform: the Windows and
// the POSIX build must answer alike.
#include "common/platform.hpp"

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace vn3 {
namespace {

using test::TempDir;

TEST(FileStatus, TellsFilesFoldersAndMissingPathsApart) {
  TempDir dir;
  test::writeFile(dir / "file", test::patternBytes(12345));
  test::writeFile(dir / "empty", {});
  std::filesystem::create_directory(dir / "folder");

  struct Case {
    const char* name;
    FileStatus expected;
  };
  const Case cases[] = {
      {"file", {true, true, 12345}},
      {"empty", {true, true, 0}},
      {"missing", {false, false, 0}},
      {"missing/file", {false, false, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileStatus status = queryFileStatus(dir / c.name);
    EXPECT_EQ(status.found, c.expected.found);
    EXPECT_EQ(status.regular, c.expected.regular);
    EXPECT_EQ(status.size, c.expected.size);
  }
  const FileStatus folder = queryFileStatus(dir / "folder");
  EXPECT_TRUE(folder.found);
  EXPECT_FALSE(folder.regular);
}

TEST(FileStatus, SizesPastFourGibibytes) {
  TempDir dir;
  const std::uint64_t size = (std::uint64_t{5} << 30) + 7;
  test::writeFile(dir / "large", {});
  std::filesystem::resize_file(dir / "large", size);  // sparse: nothing written
  const FileStatus status = queryFileStatus(dir / "large");
  EXPECT_TRUE(status.regular);
  EXPECT_EQ(status.size, size);
}

TEST(CreateDirectory, ExistingEntriesAreToldApartFromFailures) {
  TempDir dir;
  test::writeFile(dir / "file", {1, 2, 3});
  EXPECT_EQ(createDirectory(dir / "new"), CreateDirResult::Created);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "new"));
  EXPECT_EQ(createDirectory(dir / "new"), CreateDirResult::AlreadyExists);
  // Whatever is in the way counts, a regular file too, and is left alone.
  EXPECT_EQ(createDirectory(dir / "file"), CreateDirResult::AlreadyExists);
  EXPECT_EQ(test::readFile(dir / "file"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(createDirectory(dir / "missing" / "new"), CreateDirResult::Failed);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(HostPath, GamePathsStayRelativeAndReachTheirFiles) {
  TempDir dir;
  std::filesystem::create_directories(dir / "CONTENT" / "VN3" / "Maps");
  test::writeFile(dir / "CONTENT" / "VN3" / "Maps" / "Core_FXBANK.ibt", {1, 2});
  std::filesystem::create_directory(dir / "System");

  const std::filesystem::path package = hostPath("..\\CONTENT\\VN3\\Maps\\Core_FXBANK.ibt");
  EXPECT_TRUE(package.is_relative());
  EXPECT_EQ(queryFileStatus(dir / "System" / package).size, 2u);
  EXPECT_EQ(hostPath("VN3Main.exe"), std::filesystem::path("VN3Main.exe"));
}

// The stock files' two steps: a new file never takes over an existing one,
// and the rename replaces whatever is at the name.
TEST(DurableFiles, NewFileOnlyWhereThereIsNoneAndTheRenameReplaces) {
  test::TempDir dir;
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  test::writeFile(dir / "old", {9});
  EXPECT_FALSE(writeNewFileDurably(dir / "old", bytes));
  EXPECT_EQ(test::readFile(dir / "old"), std::vector<std::uint8_t>{9});
  ASSERT_TRUE(writeNewFileDurably(dir / "new", bytes));
  ASSERT_TRUE(replaceFileDurably(dir / "new", dir / "old"));
  EXPECT_EQ(test::readFile(dir / "old"), bytes);
  EXPECT_FALSE(std::filesystem::exists(dir / "new"));
  EXPECT_FALSE(writeNewFileDurably(dir / "missing" / "x", bytes));
}

}  // namespace
}  // namespace vn3
