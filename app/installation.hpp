#pragma once
// The installation check of start-up, shared by both programs: which build
// the executable is, and whether the package belongs to it. Prints nothing;
// the texts are start-up's own.
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/game_build.hpp"

namespace vn3 {

struct ExeCheck {
  std::optional<GameBuild> build;  // nothing when the installation is not supported
  std::string_view error;          // then start-up's message saying why
  std::uint64_t size = 0;
};

ExeCheck checkExecutable();

// Start-up's warning when the package does not belong to `build`; empty
// when it does.
std::string_view checkPackage(GameBuild build);

}  // namespace vn3
