#pragma once
#include "common/game_build.hpp"
#include "patch/apply_patch.hpp"
#include "patch/shader_image.hpp"

namespace vn3 {

// Creates the "Shaders" folder in the working directory. True also when an
// entry of that name is there already, whatever kind of entry it is.
bool ensureShaderFolder();

// Writes `image` as the three shader files, then patches the executable's
// frob sites for `build`. Stops at the first failure.
Outcome installFrobHighlight(const ShaderImage& image, GameBuild build);

}  // namespace vn3
