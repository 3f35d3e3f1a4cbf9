#include "patch/frob_highlight.hpp"

#include <algorithm>
#include <bit>
#include <string>
#include <string_view>

#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

namespace {

constexpr std::size_t redToken = 13;  // green and blue follow

constexpr void putToken(ShaderImage& image, std::size_t token, std::uint32_t value) {
  // Byte by byte, so the file is little-endian whatever the host is.
  for (std::size_t i = 0; i < 4; ++i) {
    image[token * 4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

constexpr std::uint32_t getToken(const ShaderImage& image, std::size_t token) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(image[token * 4 + i]) << (8 * i);
  }
  return value;
}

}  // namespace

ShaderImage initialShaderImage() {
  ShaderImage image{};
  putToken(image, 0, 0xFFFF0101);  // ps.1.1
  putToken(image, 1, 0x0009FFFE);  // comment of nine tokens
  // The assembler's signature, with its terminating zero, fills them.
  constexpr std::string_view comment = "D3DX8 Shader Assembler Version 0.91";
  static_assert(comment.size() + 1 == 9 * 4);
  std::copy(comment.begin(), comment.end(), image.begin() + 2 * 4);
  putToken(image, 11, 0x00000051);  // def c2, r, g, b, a
  putToken(image, 12, 0xA00F0002);
  // Red, green, blue and alpha all start at 0.1 (0x3DCCCCCD).
  for (std::size_t token = redToken; token <= redToken + 3; ++token) {
    putToken(image, token, 0x3DCCCCCD);
  }
  putToken(image, 17, 0x00000001);  // mov r0, c2
  putToken(image, 18, 0x800F0000);
  putToken(image, 19, 0xA0E40002);
  putToken(image, 20, 0x0000FFFF);  // end
  return image;
}

void setShaderColour(ShaderImage& image, float red, float green, float blue) {
  putToken(image, redToken, std::bit_cast<std::uint32_t>(red));
  putToken(image, redToken + 1, std::bit_cast<std::uint32_t>(green));
  putToken(image, redToken + 2, std::bit_cast<std::uint32_t>(blue));
}

std::array<float, 3> shaderColour(const ShaderImage& image) {
  return {std::bit_cast<float>(getToken(image, redToken)),
          std::bit_cast<float>(getToken(image, redToken + 1)),
          std::bit_cast<float>(getToken(image, redToken + 2))};
}

bool writeShaderFile(std::string_view baseName, const ShaderImage& image) {
  // Written in place, no temporary and rename: a read-only file of that name
  // must make this fail, not be replaced.
  return writeRegularFile(hostPath("Shaders\\" + std::string(baseName) + ".pso"), image);
}

bool ensureShaderFolder() {
  return createDirectory(hostPath("Shaders")) != CreateDirResult::Failed;
}

Outcome installFrobHighlight(const ShaderImage& image, GameBuild build) {
  if (!ensureShaderFolder()) return {std::string(msg::shaderFolderFailed)};
  // The game's three highlight shaders, all replaced by the same image. They
  // go first: the executable is patched only once the game has them to load.
  for (std::string_view name : {"RovizeraDiff", "RovizeraNormal", "Rovizera"}) {
    if (!writeShaderFile(name, image)) return {std::string(msg::shaderSaveFailed)};
  }
  return applyPatch(exeTarget, sitesFor(frobOn, build));
}

}  // namespace vn3
