// A page's text and its four choice slots, looked up under the episode digit
// and story id of the page index record just found.
#include <string>

#include "frame/game.h"
#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep {

namespace {

// The match test of both scans: story id first, then the episode digit.
bool matches_page(const WsStory& page, const char (&episode)[1],
                  const char (&id)[3]) {
  return same_chars(id, page.ws_story_id) &&
         same_chars(episode, page.ws_story_episode);
}

}  // namespace

void Game::p400_read_story_text() {
  RecordFile& file = files.fd_story_text_file;
  // 1-2.
  trace("Reading story text for page.");
  file.open();
  // 3. Stops at the first matching record; without one, WS-STORY-TEXT holds
  //    the file's last record.
  while (!is_flag(ws.ws_eof, 'Y') && !is_flag(ws.ws_text_found, 'Y')) {
    if (file.read_next_into(ws.ws_story_text) == ReadOutcome::kEndOfFile) {
      set_flag(ws.ws_eof, 'Y');
      continue;
    }
    if (matches_page(ws.ws_story, ws.ws_story_text.ws_story_text_episode,
                     ws.ws_story_text.ws_story_text_id)) {
      trace("Found story text.");
      set_flag(ws.ws_text_found, 'Y');
    }
  }
  // 4-5.
  file.close();
  set_flag(ws.ws_eof, 'N');
  set_flag(ws.ws_text_found, 'N');
}

void Game::p450_read_story_choices() {
  RecordFile& file = files.fd_story_choice_file;
  WsStoryChoice& choice = ws.ws_story_choice;
  // 1-2. Every slot starts empty; slot texts keep the spaces the page index
  //      move left in them.
  trace("Reading story choices for page.");
  for (int n = 1; n <= 4; ++n)
    move_number(ws.ws_story.slot(n).ws_choice_destination, 998);
  // 3-4. The whole file, every time: the last record for a slot wins.
  file.open();
  while (!is_flag(ws.ws_eof, 'Y') && !is_flag(ws.ws_text_found, 'Y')) {
    if (file.read_next_into(choice) == ReadOutcome::kEndOfFile) {
      set_flag(ws.ws_eof, 'Y');
      continue;
    }
    if (!matches_page(ws.ws_story, choice.ws_story_choice_episode,
                      choice.ws_story_choice_id))
      continue;
    trace("Found choice");
    int n = digits_value(choice.ws_story_choice_number);
    if (n < 1 || n > 4) stop_bad_choice_number("WS-CHOICE-TEXT");
    move_field(ws.ws_story.slot(n).ws_choice_text, choice.ws_story_choice_text);
    if (n < 1 || n > 4) stop_bad_choice_number("WS-CHOICE-DESTINATION");
    move_field(ws.ws_story.slot(n).ws_choice_destination,
               choice.ws_story_choice_destination);
  }
  // 5-6.
  file.close();
  set_flag(ws.ws_eof, 'N');
  set_flag(ws.ws_text_found, 'N');
}

void Game::stop_bad_choice_number(const char* slot_field) {
  const WsStoryChoice& choice = ws.ws_story_choice;
  stop_run(1, files.fd_story_choice_file.path() + ": choice number \"" +
                  report_text(choice.ws_story_choice_number, 1) +
                  "\" on page " + report_text(choice.ws_story_choice_id, 3) +
                  " of episode " +
                  report_text(choice.ws_story_choice_episode, 1) +
                  " is not 1-4: " + slot_field + " has four slots");
}

}  // namespace kep
