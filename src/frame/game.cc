// Start-up, the main procedure and the debug trace.
#include "frame/game.h"

#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep {

Game::Game(ScreenLayer& screen, Shell& shell, std::string_view data_dir)
    : files(data_dir), screen_(screen), shell_(shell) {}

void Game::p000_main_procedure() {
  // 1. The title screen; its entry is never read.
  screen_.accept(ScreenId::kTitleScreen, ws);
  // 2. The main loop, tested before every call.
  while (!(digits_value(ws.ws_menu_input) > 2)) p100_main_menu();
  // 3. Stop the run with RETURN-CODE as the exit status.
  stop_run(ws.return_code, "");
}

void Game::p050_debug_message() {
  // 1. "echo" (WS-ECHO-COMMAND up to its first space), one space, then all
  //    255 characters of the message; positions 261-300 are never written
  //    and keep their start-up spaces.
  char* command = ws.ws_debug_command;
  std::size_t word = 0;
  while (word < sizeof ws.ws_echo_command && ws.ws_echo_command[word] != ' ')
    ++word;
  std::size_t at = 0;
  move_text(command + at, word, ws.ws_echo_command, word);
  at += word;
  move_text(command + at, 1, " ", 1);
  at += 1;
  move_text(command + at, sizeof ws.ws_debug_message, ws.ws_debug_message,
            sizeof ws.ws_debug_message);
  // 2-3. Run it; the status goes into RETURN-CODE untested.
  ws.return_code = shell_.system(command, sizeof ws.ws_debug_command);
}

void Game::trace(std::string_view message) {
  move_text(ws.ws_debug_message, message);
  p050_debug_message();
}

}  // namespace kep
