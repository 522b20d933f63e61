#include "kep_check.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "data/story_files.h"
#include "story_check.h"
#include "story_map.h"

#ifndef KEP_VERSION
#define KEP_VERSION "unknown"
#endif

namespace kep::check {

namespace {

constexpr const char* kProgram = "kep-check";

constexpr const char* kUsageLine = "Usage: kep-check [--map FILE] [DIR]\n";

constexpr const char* kHelp =
    "Checks the four story files of the game in DIR (default ./data) the way\n"
    "the game reads and plays them, and reports what would stop the game,\n"
    "trap the player or is probably not what the author meant.\n"
    "\n"
    "  --map FILE  also write the story as a Graphviz map to FILE\n"
    "              (\"-\" for standard output); view it with\n"
    "              dot -Tsvg FILE -o map.svg\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Findings are printed as \"path:line: error: ...\", \"warning:\" or "
    "\"note:\",\n"
    "then one summary line. Exit status: 0 without errors, 1 with errors,\n"
    "2 for a usage error. See kep-check(1).\n";

int usage_error(std::ostream& err, const std::string& problem) {
  err << kProgram << ": " << problem << "\n"
      << kUsageLine << "Try 'kep-check --help' for more information.\n";
  return kUsage;
}

}  // namespace

int run_kep_check(const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
  std::string dir(kDataDirectory);
  std::string map_path;
  bool have_dir = false;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg == "--help") {
      out << kUsageLine << "\n" << kHelp;
      return kClean;
    }
    if (!options_done && arg == "--version") {
      out << kProgram << " " << KEP_VERSION << "\n";
      return kClean;
    }
    if (!options_done && arg == "--map") {
      if (i + 1 == args.size()) return usage_error(err, "--map needs a FILE");
      map_path = args[++i];
      continue;
    }
    if (!options_done && arg.rfind("--map=", 0) == 0) {
      map_path = arg.substr(6);
      if (map_path.empty()) return usage_error(err, "--map needs a FILE");
      continue;
    }
    if (!options_done && arg == "--") {
      options_done = true;
      continue;
    }
    if (!options_done && arg.size() > 1 && arg[0] == '-')
      return usage_error(err, "unknown option '" + arg + "'");
    if (have_dir) return usage_error(err, "more than one DIR");
    dir = arg;
    have_dir = true;
  }

  CheckResult result = check_story(dir);
  if (!map_path.empty()) {
    if (!result.walk) {
      result.diagnostics.add(Severity::kNote, kFileCount, map_path, 0,
                             "no map written: the story files could not all "
                             "be read");
    } else if (map_path == "-") {
      write_map(result.story, *result.walk, out);
    } else {
      std::ofstream file(map_path, std::ios::trunc);
      if (file) write_map(result.story, *result.walk, file);
      if (file) file.close();
      if (!file)
        result.diagnostics.add(
            Severity::kError, kFileCount, map_path, 0,
            std::string("cannot write the map: ") + std::strerror(errno));
    }
  }
  result.diagnostics.print(err, kProgram);
  return result.diagnostics.errors() > 0 ? kErrors : kClean;
}

}  // namespace kep::check
