#pragma once
// What the program knows for the whole run, settled at start-up.
#include "app/colour_input.hpp"
#include "app/console/console.hpp"
#include "common/game_build.hpp"
#include "patch/frob_highlight.hpp"
#include "payload/payload_blocks.hpp"

namespace vn3 {

struct Session {
  const GameBuild currentBuild;
  const bool packageAvailable;  // gates menu items 5 to 9
  StockBlocks stock;
  // The colour of the last yes at the colour prompt, for the rest of the run.
  ShaderImage shaderImage = initialShaderImage();
  // Numbers typed at a colour prompt past the third, for the next one.
  NumberReader numbers{readInputByte};
};

}  // namespace vn3
