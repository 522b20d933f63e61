// kep-check: the story checker. See kep_check.h and kep-check(1).
#include <iostream>
#include <string>
#include <vector>

#include "kep_check.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kep::check::run_kep_check(args, std::cout, std::cerr);
}
