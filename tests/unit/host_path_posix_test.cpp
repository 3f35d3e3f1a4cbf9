// The program's backslash paths on a case-sensitive file system.
#include <gtest/gtest.h>

#include "common/platform.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

class HostPathTest : public ::testing::Test {
 protected:
  // The game's own relative form below the test's folder.
  std::filesystem::path resolve(const std::string& gamePath) {
    return hostPath(dir_.path().string() + "\\" + gamePath);
  }
  void make(const std::string& relative) {
    std::filesystem::create_directories((dir_.path() / relative).parent_path());
    test::writeFile(dir_.path() / relative, {1});
  }
  test::TempDir dir_;
};

TEST_F(HostPathTest, BackslashesBecomeSlashes) {
  make("System/VN3Main.exe");
  EXPECT_EQ(resolve("System\\VN3Main.exe"), dir_.path() / "System/VN3Main.exe");
  EXPECT_EQ(resolve("System\\..\\System\\VN3Main.exe"),
            dir_.path() / "System/../System/VN3Main.exe");
}

TEST_F(HostPathTest, EachComponentFindsItsEntryIgnoringCase) {
  make("Content/vn3/maps/core_fxbank.IBT");
  EXPECT_EQ(resolve("CONTENT\\VN3\\Maps\\Core_FXBANK.ibt"),
            dir_.path() / "Content/vn3/maps/core_fxbank.IBT");
}

TEST_F(HostPathTest, ExactNameWinsOverOthers) {
  make("CONTENT/a");
  make("Content/b");
  make("content/c");
  EXPECT_EQ(resolve("Content\\b"), dir_.path() / "Content/b");
  // Of the inexact ones, the first in byte order, whatever order the folder
  // lists them in: "CONTENT" < "Content" < "content".
  EXPECT_EQ(resolve("CONTEnT\\a"), dir_.path() / "CONTENT/a");
  std::filesystem::remove_all(dir_.path() / "CONTENT");
  EXPECT_EQ(resolve("CONTEnT\\b"), dir_.path() / "Content/b");
}

TEST_F(HostPathTest, MissingPartsStayAsWritten) {
  make("System/VN3Main.exe");
  EXPECT_EQ(resolve("Shaders\\Rovizera.pso"), dir_.path() / "Shaders/Rovizera.pso");
  EXPECT_EQ(resolve("system\\Missing\\X"), dir_.path() / "System/Missing/X");
}

TEST_F(HostPathTest, ExistingLowerCaseFolderIsUsedForShaders) {
  std::filesystem::create_directory(dir_.path() / "shaders");
  EXPECT_EQ(resolve("Shaders"), dir_.path() / "shaders");
  EXPECT_EQ(createDirectory(resolve("Shaders")), CreateDirResult::AlreadyExists);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Shaders"));
}

}  // namespace
}  // namespace vn3
