// The top of a run: plays the game until a RunStop ends it, then gives the
// terminal back, writes the report and hands back the exit status.
#ifndef KEP_FRAME_RUN_H_
#define KEP_FRAME_RUN_H_

#include <cstdio>

#include "frame/game.h"

namespace kep {

/// Runs p000_main_procedure. On its end, in this order: screen.end(), the
/// report as "<program>: <report>" on `errors` (nothing for a silent end),
/// then returns the status for the process to exit with.
int run_game(Game& game, ScreenLayer& screen, const char* program,
             std::FILE* errors = stderr);

}  // namespace kep

#endif  // KEP_FRAME_RUN_H_
