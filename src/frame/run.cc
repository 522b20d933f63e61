#include "frame/run.h"

#include "frame/run_stop.h"

namespace kep {

int run_game(Game& game, ScreenLayer& screen, const char* program,
             std::FILE* errors) {
  try {
    game.p000_main_procedure();
  } catch (const RunStop& stop) {
    // The terminal first, so the report lands on a normal screen.
    screen.end();
    if (!stop.report().empty()) {
      std::fprintf(errors, "%s: %s\n", program, stop.report().c_str());
      std::fflush(errors);
    }
    return stop.status();
  }
}

}  // namespace kep
