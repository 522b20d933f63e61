// Episode start lookup: the episode start file gives the chosen episode's
// first page and seeds the page work areas.
#include "frame/game.h"
#include "state/copy_rules.h"

namespace kep {

void Game::p300_read_story_start() {
  RecordFile& file = files.fd_story_start_file;
  start_record_found_ = false;
  // 1.
  file.open();
  for (;;) {
    // 2.
    if (is_flag(ws.ws_eof, 'Y')) break;
    // 3. Every record read lands in WS-STORY-START, so after the scan it
    //    holds the file's last record, whichever episode that is.
    if (file.read_next_into(ws.ws_story_start) == ReadOutcome::kEndOfFile) {
      set_flag(ws.ws_eof, 'Y');
      continue;
    }
    // 4. Every matching record repeats the seeding: the last one wins.
    WsStoryStart& start = ws.ws_story_start;
    if (start.ws_story_start_episode[0] == ws.ws_current_episode[0]) {
      trace("setting start info");
      move_field(ws.ws_current_story_id, start.ws_story_start_id);
      move_field(ws.ws_story.ws_story_id, start.ws_story_start_id);
      move_field(ws.ws_story_text.ws_story_text_id, start.ws_story_start_id);
      move_field(ws.ws_story_text.ws_story_text_episode, ws.ws_current_episode);
      move_field(ws.ws_story_choice.ws_story_choice_id, start.ws_story_start_id);
      move_field(ws.ws_story_choice.ws_story_choice_episode,
                 start.ws_story_start_episode);
      screen_.accept(ScreenId::kClearScreen, ws);
      start_record_found_ = true;
    }
  }
  // 5.
  file.close();
  set_flag(ws.ws_eof, 'N');
}

}  // namespace kep
