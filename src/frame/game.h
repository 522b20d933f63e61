// The game: one object that owns the game state record, the four story data
// files, and uses a screen layer and a shell. The twelve procedures are its
// member functions, each defined in the folder of its subsystem:
//
//   frame/  p000_main_procedure, p050_debug_message
//   menu/   p100_main_menu, p105_reset_story, p110_reset_menu_input, p200_about
//   story/  p300_read_story_start, p325_run_story, p350_read_story,
//           p400_read_story_text, p450_read_story_choices, p500_handle_story_io
//
// A procedure has no parameters and no result: everything passes through the
// record `ws`. A run ends only by a RunStop thrown from inside a procedure
// (p000_main_procedure throws one with RETURN-CODE after the quit choice).
#ifndef KEP_FRAME_GAME_H_
#define KEP_FRAME_GAME_H_

#include <string_view>

#include "data/story_files.h"
#include "frame/shell.h"
#include "screen/screen_layer.h"
#include "state/game_state.h"

namespace kep {

class Game {
 public:
  /// Start-up: the record takes its initial values and the four files of
  /// `data_dir` are declared; none is opened.
  Game(ScreenLayer& screen, Shell& shell,
       std::string_view data_dir = kDataDirectory);

  // Program frame.
  [[noreturn]] void p000_main_procedure();
  void p050_debug_message();
  // Menus.
  void p100_main_menu();
  void p105_reset_story();
  void p110_reset_menu_input();
  void p200_about();
  // Story engine.
  void p300_read_story_start();
  void p325_run_story();
  void p350_read_story();
  void p400_read_story_text();
  void p450_read_story_choices();
  void p500_handle_story_io();

  GameState ws;
  StoryFiles files;

 private:
  /// Moves `message` into WS-DEBUG-MESSAGE and calls p050_debug_message.
  void trace(std::string_view message);
  /// Counts "GAME OVER" in the page text into WS-GAME-OVER-COUNT.
  void count_game_over();
  /// The bad choice number stop: names the slot field the record would
  /// have filled, the number as it stands and the page.
  [[noreturn]] void stop_bad_choice_number(const char* slot_field);

  ScreenLayer& screen_;
  Shell& shell_;
  // Whether the last episode start lookup matched a start record; only the
  // missing-page stop reads it, to tell its two causes apart.
  bool start_record_found_ = false;
};

}  // namespace kep

#endif  // KEP_FRAME_GAME_H_
