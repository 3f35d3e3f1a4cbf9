// What only the Windows build has: the code-page conversion of key
// characters, the embedded manifest, and Windows' own ways of refusing a file.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/console/key_event.hpp"
#include "common/platform.hpp"
#include "patch/apply_patch.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CodePage, CharactersBecomeTheCodePagesBytes) {
  struct Case {
    char16_t character;
    unsigned codePage;
    Bytes bytes;
  };
  const Case cases[] = {
      {u'q', 437, {0x71}},
      {u'q', 65001, {0x71}},
      {u'\u00E9', 437, {0x82}},  // é in the console's usual OEM page
      {u'\u00E9', 850, {0x82}},
      {u'\u00E9', 1252, {0xE9}},
      {u'\u03B1', 437, {0xE0}},  // α: the same byte as the grey-key prefix
      {u'\u00E9', 65001, {0xC3, 0xA9}},
      {u'\u20AC', 65001, {0xE2, 0x82, 0xAC}},  // €
      {u'\u65E5', 932, {0x93, 0xFA}},          // 日 in Shift-JIS
      {u'\u65E5', 437, {'?'}},                 // not in the page: its default character
      {u'q', 4242, {}},                        // no such code page
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toCodePage(c.character, c.codePage), c.bytes)
        << "U+" << std::hex << static_cast<unsigned>(c.character) << " in " << std::dec
        << c.codePage;
  }
}

TEST(Manifest, TheProgramRunsAsItsInvoker) {
  const std::wstring exe = std::filesystem::path(VN3_PATCH_EXE).wstring();
  const HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << VN3_PATCH_EXE;
  // Resource 1 of type RT_MANIFEST is the one Windows reads for a program.
  const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(resource, nullptr);
  const HGLOBAL loaded = ::LoadResource(module, resource);
  ASSERT_NE(loaded, nullptr);
  const std::string manifest(static_cast<const char*>(::LockResource(loaded)),
                             ::SizeofResource(module, resource));
  ::FreeLibrary(module);
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos)
      << manifest;
}

class WindowsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = test::patternBytes(256);
    test::writeFile(path(), original_);
  }
  void TearDown() override {
    // A read-only file would stop the folder from being removed.
    ::SetFileAttributesW(path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  std::filesystem::path path() const { return dir_ / "VN3Main.exe"; }

  std::string patch() {
    const std::string name = path().string();
    const PatchTarget target{name, "open failed", "locate failed", "write failed"};
    static const std::uint8_t z[] = {'Z'};
    const PatchSite sites[] = {{16, z}};
    return applyPatch(target, sites).failure;
  }

  test::TempDir dir_;
  Bytes original_;
};

TEST_F(WindowsFileTest, ReadOnlyFileIsNotOpened) {
  ASSERT_TRUE(::SetFileAttributesW(path().c_str(), FILE_ATTRIBUTE_READONLY));
  // Windows refuses even administrators; Wine leaves it to the Unix file
  // mode, which root may write through.
  const HANDLE probe = ::CreateFileW(path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    ::CloseHandle(probe);
    GTEST_SKIP() << "this system lets us write to a read-only file";
  }
  EXPECT_EQ(patch(), "open failed");
  ::SetFileAttributesW(path().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::readFile(path()), original_);
}

// A running game holds its executable open and lets nobody write to it.
TEST_F(WindowsFileTest, FileHeldWithoutWriteSharingIsNotOpened) {
  const HANDLE held = ::CreateFileW(path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(patch(), "open failed");
  ::CloseHandle(held);
  EXPECT_EQ(test::readFile(path()), original_);
}

// The patcher asks for no exclusive access: other readers and writers may
// keep the file open meanwhile.
TEST_F(WindowsFileTest, FileSharedForWritingIsPatched) {
  const HANDLE held =
      ::CreateFileW(path().c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(patch(), "");
  ::CloseHandle(held);
  Bytes expected = original_;
  expected[16] = 'Z';
  EXPECT_EQ(test::readFile(path()), expected);
}

TEST(RenameFolder, OntoAnExistingFolderReportsExists) {
  test::TempDir dir;
  for (const char* name : {"from", "to"}) std::filesystem::create_directory(dir / name);
  EXPECT_EQ(renameFolderDurably(dir / "from", dir / "to"), RenameResult::Exists);
}

TEST_F(WindowsFileTest, SymbolicLinkAnswersForItsTarget) {
  const std::filesystem::path link = dir_ / "link.exe";
  // Wine reports success but makes no link.
  if (!::CreateSymbolicLinkW(link.c_str(), path().c_str(), 0) ||
      ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no symbolic links here";
  }
  const FileStatus status = queryFileStatus(link);
  EXPECT_TRUE(status.found);
  EXPECT_TRUE(status.regular);
  EXPECT_EQ(status.size, original_.size());
}

}  // namespace
}  // namespace vn3
