#pragma once
#include "common/game_build.hpp"

namespace vn3 {

// Settles `currentBuild` from the executable's size (left as it is for build
// B); false after printing why the installation is not supported.
bool checkExecutable(GameBuild& currentBuild);

// Whether the graphics package matches `currentBuild`; false after printing
// a warning.
bool checkPackage(GameBuild currentBuild);

// The whole program: banner, checks, notices and the menu. Returns the exit
// status.
int runPatcher();

}  // namespace vn3
