#include "app/startup.hpp"

// Command-line arguments are ignored.
int main() { return vn3::runPatcher(); }
