// make_story DIR: writes the largest story into DIR/data, so the real game
// can be run on it from DIR.
#include <cstdio>
#include <exception>

#include "bench/largest_story.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  try {
    kep::bench::write_largest_story(std::string(argv[1]) + "/data");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
