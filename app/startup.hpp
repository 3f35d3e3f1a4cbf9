#pragma once

namespace vn3 {

// Settles currentBuild from the executable's size; false after printing why
// the installation is not supported.
bool checkExecutable();

// Clears packageAvailable, with a warning, when the graphics package does not
// match the build.
bool checkPackage();

// The whole program: banner, checks, notices and the menu. Returns the exit
// status.
int runPatcher();

}  // namespace vn3
