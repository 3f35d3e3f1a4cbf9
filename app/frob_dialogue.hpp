#pragma once
#include "app/session.hpp"

namespace vn3 {

// Menu action 1: lists the known side effects, offers a colour of the
// player's own, then installs the single-colour highlight shader.
void activateFrobHighlight(Session& session);

}  // namespace vn3
