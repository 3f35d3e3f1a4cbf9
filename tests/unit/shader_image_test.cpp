#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/platform.hpp"
#include "patch/frob_highlight.hpp"
#include "test_support.hpp"

namespace vn3 {
namespace {

// The file as the game reads it, typed out independently of the code: 21
// little-endian tokens, the comment as plain text.
std::vector<std::uint8_t> expectedImage(std::uint32_t red, std::uint32_t green,
                                        std::uint32_t blue) {
  std::vector<std::uint8_t> bytes;
  auto token = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  token(0xFFFF0101);
  token(0x0009FFFE);
  for (char c : std::string_view("D3DX8 Shader Assembler Version 0.91")) {
    bytes.push_back(static_cast<std::uint8_t>(c));
  }
  bytes.push_back(0);
  for (std::uint32_t v : {0x00000051u, 0xA00F0002u, red, green, blue, 0x3DCCCCCDu, 0x00000001u,
                          0x800F0000u, 0xA0E40002u, 0x0000FFFFu}) {
    token(v);
  }
  return bytes;
}

std::vector<std::uint8_t> bytesOf(const ShaderImage& image) { return {image.begin(), image.end()}; }

TEST(ShaderImage, StartsAsTheAssembledShaderWithColourPointOne) {
  EXPECT_EQ(bytesOf(initialShaderImage()), expectedImage(0x3DCCCCCD, 0x3DCCCCCD, 0x3DCCCCCD));
}

TEST(ShaderImage, ColourGoesIntoTokensThirteenToFifteenOnly) {
  struct Case {
    float red, green, blue;
    std::uint32_t redBits, greenBits, blueBits;
  };
  const Case cases[] = {
      {1.0f, 0.0f, 0.0f, 0x3F800000, 0x00000000, 0x00000000},
      {0.0f, 1.0f, 0.5f, 0x00000000, 0x3F800000, 0x3F000000},
      {-0.0f, 0.25f, 1.0f, 0x80000000, 0x3E800000, 0x3F800000},
      // Bits of a value that is not a neat power of two, to catch a byte
      // order mistake within the token.
      {0.3f, 0.6f, 0.9f, 0x3E99999A, 0x3F19999A, 0x3F666666},
  };
  ShaderImage image = initialShaderImage();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.red << " " << c.green << " " << c.blue);
    setShaderColour(image, c.red, c.green, c.blue);
    EXPECT_EQ(bytesOf(image), expectedImage(c.redBits, c.greenBits, c.blueBits));
    const std::array<float, 3> stored = shaderColour(image);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(stored[0]), c.redBits);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(stored[1]), c.greenBits);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(stored[2]), c.blueBits);
  }
}

TEST(ShaderImage, WritesTheImageAndTruncatesAnOlderLongerFile) {
  test::TempDir dir;
  test::writeFile(dir / "a.pso", test::patternBytes(500));
  ShaderImage image = initialShaderImage();
  setShaderColour(image, 1.0f, 0.0f, 0.0f);
  ASSERT_TRUE(writeRegularFile(dir / "a.pso", image));
  ASSERT_TRUE(writeRegularFile(dir / "b.pso", image));
  EXPECT_EQ(test::readFile(dir / "a.pso"), expectedImage(0x3F800000, 0, 0));
  EXPECT_EQ(test::readFile(dir / "b.pso"), expectedImage(0x3F800000, 0, 0));
}

TEST(WriteRegularFile, FailsWhereNoFileCanBeMade) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "folder");
  test::writeFile(dir / "plain", {1, 2, 3});
  const ShaderImage image = initialShaderImage();
  EXPECT_FALSE(writeRegularFile(dir / "missing" / "x.pso", image));  // no such folder
  EXPECT_FALSE(writeRegularFile(dir / "plain" / "x.pso", image));    // a file where the folder is
  EXPECT_FALSE(writeRegularFile(dir / "folder", image));             // a folder of that name
}

}  // namespace
}  // namespace vn3
