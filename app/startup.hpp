#pragma once

namespace vn3 {

// The whole program: banner, checks, notices and the menu. Returns the exit
// status.
int runPatcher();

}  // namespace vn3
