// The page loop of an episode: passes over the page index file, each going
// on from the record after the page just handled and reopening from the
// first record when the end of the file is reached.
#include <string>

#include "frame/game.h"
#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep {

void Game::p325_run_story() {
  while (!is_flag(ws.ws_story_over, 'Y')) {
    trace("Running story");
    p350_read_story();
  }
}

void Game::p350_read_story() {
  RecordFile& file = files.fd_story_file;
  bool handled_a_page = false;
  // 1-2.
  trace("Reading story page");
  file.open();
  for (;;) {
    // 3.
    if (is_flag(ws.ws_eof, 'Y')) break;
    if (is_flag(ws.ws_story_over, 'Y')) break;
    // 4. The move blanks all four choice slots.
    if (file.read_next_into(ws.ws_story) == ReadOutcome::kEndOfFile) {
      set_flag(ws.ws_eof, 'Y');
      continue;
    }
    // 5. The story id alone is compared; the record's own episode digit
    //    keys the page's text and choices.
    if (same_chars(ws.ws_story.ws_story_id, ws.ws_current_story_id)) {
      handled_a_page = true;
      trace("Found story record");
      p400_read_story_text();
      p450_read_story_choices();
      p500_handle_story_io();
    }
  }
  // 6.
  file.close();
  set_flag(ws.ws_eof, 'N');

  // A pass that read the whole file from its first record and found no page
  // would be followed by the same pass forever: end the run instead.
  if (!handled_a_page) {
    std::string episode = report_text(ws.ws_current_episode, 1);
    if (digits_value(ws.ws_current_story_id) == 0 && !start_record_found_)
      stop_run(1, files.fd_story_start_file.path() + ": episode " + episode +
                      " has no start record");
    stop_run(1, file.path() + ": no page with story id " +
                    report_text(ws.ws_current_story_id, 3) + " (episode " +
                    episode + ")");
  }
}

}  // namespace kep
