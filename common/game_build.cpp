#include "common/game_build.hpp"

namespace vn3 {

GameBuild currentBuild = GameBuild::BuildB;
bool packageAvailable = true;

}  // namespace vn3
