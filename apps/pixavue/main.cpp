// pixavue: the command-line program of the Pixavue image viewer.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "info_command.h"
#include "render_command.h"
#include "self_check.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: pixavue --version         print the version and check the platform layer\n"
         "       pixavue info FILE...      load each file and print its format, size, resolution, pages\n"
         "                                 and property items\n"
         "                                 (FILE may be an http://, https:// or ftp://[user[:password]@]\n"
         "                                 URL, for render too)\n"
         "       pixavue render FILE -o OUT.png [--size WxH] [--zoom-mode N | --zoom PERCENT]\n"
         "                      [--quality N] [--position N] [--alignment N] [--page N] [--gamma G]\n"
         "                                 show the file in a control (800x600 unless --size) and\n"
         "                                 write what it shows as a PNG\n"
         "       pixavue --help            print this text\n";
}

int PrintVersion() {
  std::cout << "pixavue " << PIXAVUE_VERSION << '\n' << "platform self-check:\n";
  const bool passed = pixavue::app::RunSelfCheck(std::cout);
  std::cout << (passed ? "self-check passed\n" : "self-check FAILED\n");
  return passed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--version") return PrintVersion();
  if (argc >= 3 && std::string_view(argv[1]) == "info") {
    const std::vector<std::string> paths(argv + 2, argv + argc);
    return pixavue::app::RunInfo(paths, std::cout);
  }
  if (argc >= 2 && std::string_view(argv[1]) == "render") {
    const std::vector<std::string> args(argv + 2, argv + argc);
    return pixavue::app::RunRender(args, std::cout, std::cerr);
  }
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    PrintUsage(std::cout);
    return 0;
  }
  PrintUsage(std::cerr);
  return 2;
}
