// kep: the game. Plays in the terminal; the trace goes to standard output.
#include "frame/game.h"
#include "frame/run.h"
#include "frame/shell.h"
#include "screen/fake_screen_layer.h"

int main() {
  kep::FakeScreenLayer screen;  // replaced by the terminal screen layer
  kep::RealShell shell;
  kep::Game game(screen, shell);
  return kep::run_game(game, screen, "kep");
}
