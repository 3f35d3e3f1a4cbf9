#include "patch/frob_highlight.hpp"

#include <string>
#include <string_view>

#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/patch_sites.hpp"

namespace vn3 {

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
