// The game state record: the one record of fixed-width fields through which
// every procedure of Kep talks to every other. It is created once at start-up
// with the initial values below and lives until the process ends; nothing in
// it is allocated and nothing of it is saved.
//
// Field kinds:
//   digits      an unsigned number as a fixed count of the characters 0-9
//   characters  fixed-length text, left-aligned and space-filled
//   flag        one character, 'Y' or 'N'
//   group       a fixed sequence of fields that is also one character string
//
// The four page work areas are groups with the exact layout of the data-file
// records copied into them; static_asserts below pin every offset.
#ifndef KEP_STATE_GAME_STATE_H_
#define KEP_STATE_GAME_STATE_H_

#include <cstddef>
#include <cstdint>

namespace kep {

// WS-STORY-START, 4 characters: an episode start record.
//   pos 1     ws_story_start_episode   1 digit
//   pos 2-4   ws_story_start_id        3 digits
struct WsStoryStart {
  char ws_story_start_episode[1];
  char ws_story_start_id[3];
};

// One WS-CHOICE slot of WS-STORY, 258 characters.
//   pos 1-255    ws_choice_text          255 characters
//   pos 256-258  ws_choice_destination   3 digits
struct WsChoice {
  char ws_choice_text[255];
  char ws_choice_destination[3];
};

// WS-STORY, 1036 characters: a page index record and the page's four slots.
//   pos 1      ws_story_episode   1 digit
//   pos 2-4    ws_story_id        3 digits
//   pos 5-1036 ws_choice[0..3]    slots 1-4, slot n at 5 + (n-1) * 258
struct WsStory {
  char ws_story_episode[1];
  char ws_story_id[3];
  WsChoice ws_choice[4];

  /// The slot a choice number or a selection names. REQUIRES: 1 <= n <= 4.
  WsChoice& slot(int n) { return ws_choice[n - 1]; }
  const WsChoice& slot(int n) const { return ws_choice[n - 1]; }
};

// WS-STORY-TEXT, 1004 characters: a page text record.
//   pos 1       ws_story_text_episode  1 digit
//   pos 2-4     ws_story_text_id       3 digits
//   pos 5-1004  ws_story_text_body     1000 characters
struct WsStoryText {
  char ws_story_text_episode[1];
  char ws_story_text_id[3];
  char ws_story_text_body[1000];
};

// WS-STORY-CHOICE, 263 characters: a page choice record.
//   pos 1      ws_story_choice_episode      1 digit
//   pos 2-4    ws_story_choice_id           3 digits
//   pos 5-7    ws_story_choice_destination  3 digits
//   pos 8      ws_story_choice_number       1 digit
//   pos 9-263  ws_story_choice_text         255 characters
struct WsStoryChoice {
  char ws_story_choice_episode[1];
  char ws_story_choice_id[3];
  char ws_story_choice_destination[3];
  char ws_story_choice_number[1];
  char ws_story_choice_text[255];
};

/// The record itself. Construct it once; the default member values are the
/// initial values of a run.
struct GameState {
  GameState();

  std::int32_t return_code = 0;     // status of the last trace command
  char ws_echo_command[5];          // "echo "
  char ws_debug_message[255];       // text of the next trace line
  char ws_debug_command[300];       // command line built by the trace
  char ws_title_input[1];           // entry on the title screen
  char ws_menu_input[1];            // main menu choice, digit
  char ws_episode_input[1];         // episode menu choice, digit; 9 = refused 4
  char ws_about_input[1];           // entry on the About screen
  char ws_story_selection[1];       // choice digit typed on a page
  char ws_current_episode[1];       // episode being played, digit
  char ws_current_story_id[3];      // page to show next, 3 digits
  char ws_valid_selection[1];       // flag: the selection was taken
  char ws_episode_4_unlocked[1];    // flag: episode 4 may be chosen
  char ws_game_over_count[2];       // "GAME OVER" count of the final page
  char ws_story_over[1];            // flag: the episode has ended
  char ws_eof[1];                   // flag: the scanned file is at its end
  char ws_text_found[1];            // flag: the page's text was found
  WsStoryStart ws_story_start;
  WsStory ws_story;
  WsStoryText ws_story_text;
  WsStoryChoice ws_story_choice;
};

static_assert(sizeof(WsStoryStart) == 4);
static_assert(sizeof(WsChoice) == 258);
static_assert(sizeof(WsStory) == 1036);
static_assert(offsetof(WsStory, ws_story_id) == 1);
static_assert(offsetof(WsStory, ws_choice) == 4);
// Slot n starts at position 5 + (n-1) * 258 (positions count from 1).
static_assert(offsetof(WsStory, ws_choice) + 0 * sizeof(WsChoice) == 5 - 1);
static_assert(offsetof(WsStory, ws_choice) + 1 * sizeof(WsChoice) == 263 - 1);
static_assert(offsetof(WsStory, ws_choice) + 2 * sizeof(WsChoice) == 521 - 1);
static_assert(offsetof(WsStory, ws_choice) + 3 * sizeof(WsChoice) == 779 - 1);
static_assert(offsetof(WsChoice, ws_choice_destination) == 255);
static_assert(sizeof(WsStoryText) == 1004);
static_assert(offsetof(WsStoryText, ws_story_text_body) == 4);
static_assert(sizeof(WsStoryChoice) == 263);
static_assert(offsetof(WsStoryChoice, ws_story_choice_id) == 1);
static_assert(offsetof(WsStoryChoice, ws_story_choice_destination) == 4);
static_assert(offsetof(WsStoryChoice, ws_story_choice_number) == 7);
static_assert(offsetof(WsStoryChoice, ws_story_choice_text) == 8);

}  // namespace kep

#endif  // KEP_STATE_GAME_STATE_H_
