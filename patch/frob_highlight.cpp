#include "patch/frob_highlight.hpp"

namespace vn3 {

void activateFrobHighlight() {}

}  // namespace vn3
