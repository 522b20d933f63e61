// A page meets the player: shown until a selection leads somewhere, then the
// destination becomes the current story id; 999 ends the episode, won when
// the page's text holds no "GAME OVER".
#include <cstring>

#include "frame/game.h"
#include "state/copy_rules.h"

namespace kep {

void Game::p500_handle_story_io() {
  // 1-2.
  trace("Displaying story page");
  set_flag(ws.ws_valid_selection, 'N');
  // 3. Digits outside 1-4 and empty slots (998) show the page again.
  while (!is_flag(ws.ws_valid_selection, 'Y')) {
    screen_.display(ScreenId::kClearScreen);
    screen_.accept(ScreenId::kStoryScreen, ws);
    int selection = digits_value(ws.ws_story_selection);
    if (selection < 1 || selection > 4) continue;
    move_field(ws.ws_current_story_id,
               ws.ws_story.slot(selection).ws_choice_destination);
    if (digits_value(ws.ws_current_story_id) == 998) continue;
    set_flag(ws.ws_valid_selection, 'Y');
  }
  // 4. The end of the episode.
  if (digits_value(ws.ws_current_story_id) == 999) {
    set_flag(ws.ws_story_over, 'Y');
    move_number(ws.ws_game_over_count, 0);
    count_game_over();
    if (digits_value(ws.ws_game_over_count) == 0) {
      trace("Episode won! Unlock!");
      set_flag(ws.ws_episode_4_unlocked, 'Y');
    }
  }
}

void Game::count_game_over() {
  static constexpr char kWords[] = "GAME OVER";
  static constexpr std::size_t kLength = sizeof kWords - 1;
  const char* body = ws.ws_story_text.ws_story_text_body;
  const std::size_t size = sizeof ws.ws_story_text.ws_story_text_body;
  unsigned count = 0;
  for (std::size_t at = 0; at + kLength <= size;) {
    if (std::memcmp(body + at, kWords, kLength) == 0) {
      ++count;
      at += kLength;
    } else {
      ++at;
    }
  }
  // Two digits: a count above 99 stays 99, never wrapping to a won 00.
  move_number(ws.ws_game_over_count, count > 99 ? 99 : count);
}

}  // namespace kep
