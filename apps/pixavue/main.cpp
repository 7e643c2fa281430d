// pixavue: the command-line program of the Pixavue image viewer.

#include <iostream>
#include <string_view>

#include "self_check.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: pixavue --version   print the version and check the platform layer\n"
         "       pixavue --help      print this text\n";
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
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    PrintUsage(std::cout);
    return 0;
  }
  PrintUsage(std::cerr);
  return 2;
}
