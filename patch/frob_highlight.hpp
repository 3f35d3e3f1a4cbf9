#pragma once

namespace vn3 {

// Menu action 1: replaces the game's highlight shaders with a single-colour
// one and patches the executable to load it.
void activateFrobHighlight();

}  // namespace vn3
