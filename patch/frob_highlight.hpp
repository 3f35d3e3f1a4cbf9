#pragma once

namespace vn3 {

// Menu action 1: replaces the game's highlight shaders with a single-colour
// one and patches the executable to load it.
void activateFrobHighlight();

// Creates the "Shaders" folder in the working directory. True also when an
// entry of that name is there already, whatever kind of entry it is.
bool ensureShaderFolder();

}  // namespace vn3
