// The main menu, the episode menu with its lock on episode 4, and About.
#include "frame/game.h"
#include "state/copy_rules.h"

namespace kep {

void Game::p100_main_menu() {
  // 1.
  screen_.display(ScreenId::kClearScreen);
  // 2. Main menu loop: leave on 3, 2 or 1; refused entries are accepted
  //    again without a clear.
  for (;;) {
    int menu = digits_value(ws.ws_menu_input);
    if (menu == 3 || menu == 2 || menu == 1) break;
    screen_.accept(ScreenId::kMainMenuScreen, ws);
  }
  int menu = digits_value(ws.ws_menu_input);
  if (menu == 1) {
    // 3. New game.
    p105_reset_story();
    screen_.display(ScreenId::kClearScreen);
    for (;;) {
      int episode = digits_value(ws.ws_episode_input);
      if (episode <= 4 && episode > 0) break;
      if (is_flag(ws.ws_episode_4_unlocked, 'N')) {
        screen_.accept(ScreenId::kEpisodeScreenLocked, ws);
        // A refused 4 becomes 9, outside 1-4, so the loop asks again.
        if (digits_value(ws.ws_episode_input) == 4)
          move_number(ws.ws_episode_input, 9);
      } else {
        screen_.accept(ScreenId::kEpisodeScreenUnlocked, ws);
      }
    }
    move_field(ws.ws_current_episode, ws.ws_episode_input);
    p300_read_story_start();
    p325_run_story();
    p105_reset_story();
    p110_reset_menu_input();
  } else if (menu == 2) {
    // 4. About.
    p200_about();
    p110_reset_menu_input();
  }
  // 5. Otherwise 3 (quit): WS-MENU-INPUT stays 3.
}

void Game::p105_reset_story() {
  move_number(ws.ws_episode_input, 0);
  move_number(ws.ws_current_episode, 0);
  move_number(ws.ws_current_story_id, 0);
  set_flag(ws.ws_story_over, 'N');
}

void Game::p110_reset_menu_input() { move_number(ws.ws_menu_input, 0); }

void Game::p200_about() {
  screen_.display(ScreenId::kClearScreen);
  screen_.accept(ScreenId::kAboutScreen, ws);
}

}  // namespace kep
