// vn3patch-extract [PACKAGE]: makes the stock data files in the payload folder
// of the game's System folder, the working directory, where vn3patch looks.
#include "app/extract.hpp"
#include "common/console_out.hpp"
#include "common/messages.hpp"
#include "common/platform.hpp"
#include "patch/apply_patch.hpp"

int main(int argc, char** argv) {
  vn3::failWritesPastSizeLimit();
  if (argc > 2) {
    vn3::printLine(vn3::msg::extractUsage);
    return 2;
  }
  const std::filesystem::path package =
      argc > 1 ? std::filesystem::path(argv[1]) : vn3::hostPath(vn3::packageTarget.path);
  return vn3::extractStockData(package);
}
