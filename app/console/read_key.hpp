#pragma once

namespace vn3 {

// The code of the next key press on the console, without echo and without
// waiting for Enter: 0 to 255, or -1 when no console can be read. A key that
// gives two codes (a prefix and a second code) gives them over two calls.
int readKey();

}  // namespace vn3
