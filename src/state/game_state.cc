// Initial values of the game state record.
#include "state/game_state.h"

#include "state/copy_rules.h"

namespace kep {

GameState::GameState() {
  move_text(ws_echo_command, "echo ");
  move_text(ws_debug_message, "");
  move_text(ws_debug_command, "");
  move_text(ws_title_input, "");
  move_number(ws_menu_input, 0);
  move_number(ws_episode_input, 0);
  move_text(ws_about_input, "");
  move_number(ws_story_selection, 0);
  move_number(ws_current_episode, 0);
  move_number(ws_current_story_id, 0);
  set_flag(ws_valid_selection, 'N');
  set_flag(ws_episode_4_unlocked, 'N');
  move_number(ws_game_over_count, 0);
  set_flag(ws_story_over, 'N');
  set_flag(ws_eof, 'N');
  set_flag(ws_text_found, 'N');

  move_number(ws_story_start.ws_story_start_episode, 0);
  move_number(ws_story_start.ws_story_start_id, 0);

  move_number(ws_story.ws_story_episode, 0);
  move_number(ws_story.ws_story_id, 0);
  for (WsChoice& slot : ws_story.ws_choice) {
    move_text(slot.ws_choice_text, "");
    move_number(slot.ws_choice_destination, 0);
  }

  move_number(ws_story_text.ws_story_text_episode, 0);
  move_number(ws_story_text.ws_story_text_id, 0);
  move_text(ws_story_text.ws_story_text_body, "");

  move_number(ws_story_choice.ws_story_choice_episode, 0);
  move_number(ws_story_choice.ws_story_choice_id, 0);
  move_number(ws_story_choice.ws_story_choice_destination, 0);
  move_number(ws_story_choice.ws_story_choice_number, 0);
  move_text(ws_story_choice.ws_story_choice_text, "");
}

}  // namespace kep
