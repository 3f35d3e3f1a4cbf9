// Failures that need POSIX special files to provoke.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/platform.hpp"
#include "patch/apply_patch.hpp"
#include "patch/frob_highlight.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

TEST(ApplyPatchFailures, EachFailureGivesItsOneMessage) {
  test::TempDir dir;
  const std::string fifo = (dir / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  struct Case {
    const char* what;
    std::string path;
    const char* failure;
  };
  const Case cases[] = {
      // A pipe opens but cannot be positioned.
      {"unseekable", fifo, "locate failed"},
      // Every write to this device fails as a full disk would.
      {"full disk", "/dev/full", "write failed"},
  };
  const std::uint8_t block[64] = {};
  const PatchSite sites[] = {{16, block}, {512, block}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PatchTarget target{c.path, "open failed", "locate failed", "write failed"};
    EXPECT_EQ(applyPatch(target, sites).failure, c.failure);
  }
}

// Only a regular file is written: a pipe or a device (also behind a link)
// is refused at once, never waited on.
TEST(WriteRegularFile, AnythingButARegularFileIsRefused) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/null", dir / "null");
  for (const std::filesystem::path& file :
       {dir / "fifo", dir / "null", std::filesystem::path("/dev/full")}) {
    EXPECT_FALSE(writeRegularFile(file, initialShaderImage())) << file;
  }
}

}  // namespace
}  // namespace vn3
