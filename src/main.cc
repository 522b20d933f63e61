// kep: the game. The screens go to the terminal (/dev/tty); the trace lines
// go to standard output; the exit status tells how the run ended.
#include "frame/game.h"
#include "frame/run.h"
#include "frame/shell.h"
#include "screen/curses_terminal.h"
#include "screen/terminal_screen_layer.h"

int main() {
  kep::CursesTerminal terminal;
  kep::TerminalScreenLayer screen(terminal);
  kep::RealShell shell;
  kep::Game game(screen, shell);
  return kep::run_game(game, screen, "kep");
}
