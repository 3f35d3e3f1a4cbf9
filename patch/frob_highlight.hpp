#pragma once
// The frob highlight: a ready-assembled pixel shader that paints every pixel
// in one constant colour, its files, and the executable's frob sites that
// make the game load it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"

namespace vn3 {

inline constexpr std::size_t shaderImageSize = 84;  // 21 tokens of 32 bits

// The token stream as it goes to disk, little-endian.
using ShaderImage = std::array<std::uint8_t, shaderImageSize>;

// The image with its colour at 0.1, 0.1, 0.1.
ShaderImage initialShaderImage();

// Overwrites the red, green and blue of the colour constant; alpha keeps
// 0.1. Stores exactly what it is given: callers clamp first.
void setShaderColour(ShaderImage& image, float red, float green, float blue);

std::array<float, 3> shaderColour(const ShaderImage& image);

// Writes the image to "Shaders\<baseName>.pso" below the working directory.
// The folder must exist already.
bool writeShaderFile(std::string_view baseName, const ShaderImage& image);

// Creates the "Shaders" folder in the working directory. True also when an
// entry of that name is there already, whatever kind of entry it is.
bool ensureShaderFolder();

// Writes `image` as the three shader files, then patches the executable's
// frob sites for `build`. Stops at the first failure.
Outcome installFrobHighlight(const ShaderImage& image, GameBuild build);

}  // namespace vn3
