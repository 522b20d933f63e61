#include "story_check.h"

#include <cstdio>
#include <string>
#include <unordered_map>

#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep::check {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

template <std::size_t N>
bool all_digits(const char (&field)[N]) {
  for (char c : field)
    if (!is_digit(c)) return false;
  return true;
}

template <std::size_t N>
std::string shown(const char (&field)[N]) {
  return report_text(field, N);
}

// Columns 1-4 of a record: its episode digit and story id.
template <typename Record>
std::string_view key_of(const Record& r) {
  return {reinterpret_cast<const char*>(&r), 4};
}

// Whether columns 1-4 can match anything with digits: an episode digit and
// a three-digit id.
bool digit_key(std::string_view key) {
  for (char c : key)
    if (!is_digit(c)) return false;
  return true;
}

// "page 012 (episode 1)" for a key of columns 1-4.
std::string page_name(std::string_view key) {
  return "page " + report_text(key.data() + 1, 3) + " (episode " +
         report_text(key.data(), 1) + ")";
}

std::string plural(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

class Checker {
 public:
  Checker(const StoryModel& story, Diagnostics& out)
      : story_(story), out_(out) {}

  // Checks each record on its own: line length, key columns, shown bytes.
  void check_lines();
  // Checks that need the play of every episode.
  void check_play(const StoryWalk& walk);

 private:
  Diagnostic& add(Severity s, int file, std::size_t line, std::string text) {
    return out_.add(s, file, story_.paths[file], line, std::move(text));
  }
  Diagnostic& error(int file, std::size_t line, std::string text) {
    return add(Severity::kError, file, line, std::move(text));
  }
  Diagnostic& warning(int file, std::size_t line, std::string text) {
    return add(Severity::kWarning, file, line, std::move(text));
  }

  void check_line_length(int file, LineFacts line);
  void check_key(int file, LineFacts line, std::string_view key);
  void check_shown_bytes(int file, LineFacts line, const char* text,
                         std::size_t length, std::size_t first_column,
                         const char* where);
  void check_text_wrap(const TextRecord& t);
  void check_choice_length(const ChoiceRecord& c);

  void check_starts();
  void check_pages();
  void check_texts();
  void check_choices();
  // Adds "reached in episode N: ..." to a finding about a reached state.
  void note_path(Diagnostic& d, int state);
  bool some_page_is(std::string_view key) const {
    return page_with_key_.count(key) > 0;
  }
  // The first reached state whose record has `key`, or kNone.
  int reached_page_with(std::string_view key) const {
    auto it = reached_with_key_.find(key);
    return it == reached_with_key_.end() ? kNone : it->second;
  }

  const StoryModel& story_;
  Diagnostics& out_;
  const StoryWalk* walk_ = nullptr;
  // By columns 1-4 of the page index records.
  std::unordered_map<std::string_view, int> page_with_key_;
  std::unordered_map<std::string_view, int> reached_with_key_;
  std::vector<bool> text_shown_;  // by text record: shown on a reached page
};

void Checker::check_lines() {
  for (const StartRecord& s : story_.starts) {
    check_line_length(kStartFile, s.line);
    check_key(kStartFile, s.line, key_of(s.record));
    char episode = s.record.ws_story_start_episode[0];
    if (is_digit(episode) && (episode < '1' || episode > '4'))
      warning(kStartFile, s.line.number,
              std::string("start record for episode ") + episode +
                  " is never used: the episodes are 1 to 4");
  }
  for (const PageRecord& p : story_.pages) {
    check_line_length(kPageFile, p.line);
    check_key(kPageFile, p.line, p.key());
  }
  for (const TextRecord& t : story_.texts) {
    check_line_length(kTextFile, t.line);
    check_key(kTextFile, t.line, key_of(t.record));
    check_shown_bytes(kTextFile, t.line, t.record.ws_story_text_body,
                      sizeof t.record.ws_story_text_body, 5, "the page");
    check_text_wrap(t);
  }
  for (const ChoiceRecord& c : story_.choices) {
    const WsStoryChoice& r = c.record;
    check_line_length(kChoiceFile, c.line);
    check_key(kChoiceFile, c.line, key_of(r));
    if (!all_digits(r.ws_story_choice_destination))
      warning(kChoiceFile, c.line.number,
              "destination \"" + shown(r.ws_story_choice_destination) +
                  "\" in columns 5-7 is not three digits: ids are written "
                  "with leading zeros, as 007");
    check_shown_bytes(kChoiceFile, c.line, r.ws_story_choice_text,
                      sizeof r.ws_story_choice_text, 9, "the choice");
    check_choice_length(c);
  }
}

void Checker::check_line_length(int file, LineFacts line) {
  std::size_t record = story_.declarations[file]->record_length;
  if (line.length <= record) return;
  warning(file, line.number,
          "line is " + std::to_string(line.length) +
              " characters long but the record is " + std::to_string(record) +
              ": the characters after column " + std::to_string(record) +
              " are cut");
}

void Checker::check_key(int file, LineFacts line, std::string_view key) {
  if (key == "    ") {
    warning(file, line.number, "blank record: it matches nothing");
    return;
  }
  for (char c : key) {
    if (is_digit(c)) continue;
    warning(file, line.number,
            "columns 1-4 \"" + report_text(key.data(), key.size()) +
                "\" are not an episode digit and a three-digit id: the "
                "record matches nothing (ids are written with leading zeros, "
                "as 007)");
    return;
  }
}

void Checker::check_shown_bytes(int file, LineFacts line, const char* text,
                                std::size_t length, std::size_t first_column,
                                const char* where) {
  int count = 0;
  std::size_t first = 0;
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= ' ' && c <= '~') continue;
    if (count++ == 0) first = i;
  }
  if (count == 0) return;
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X",
                static_cast<unsigned char>(text[first]));
  std::string more =
      count > 1 ? " (and " + plural(count - 1, "more byte") + ")" : "";
  warning(file, line.number,
          std::string("byte ") + byte + " in column " +
              std::to_string(first + first_column) +
              " is not printable ASCII: " + where + " shows it as \"?\"" +
              more);
}

void Checker::check_text_wrap(const TextRecord& t) {
  const char* body = t.record.ws_story_text_body;
  const int size = static_cast<int>(sizeof t.record.ws_story_text_body);
  int splits = 0;
  std::string first_word;
  int first_column = 0;
  for (int at = kFirstTextLine; at < size; at += kScreenWidth) {
    if (body[at - 1] == ' ' || body[at] == ' ') continue;
    if (splits++ > 0) continue;
    int begin = at - 1, end = at;
    while (begin > 0 && body[begin - 1] != ' ') --begin;
    while (end < size && body[end] != ' ') ++end;
    first_word = report_text(body + begin, end - begin);
    first_column = at + 4;  // the last column of the record on that line
  }
  if (splits == 0) return;
  std::string more =
      splits > 1 ? " (and " + plural(splits - 1, "more word") + ")" : "";
  warning(kTextFile, t.line.number,
          "the word \"" + first_word +
              "\" is split over two lines of the page: the text wraps after "
              "column " +
              std::to_string(first_column) + more);
}

void Checker::check_choice_length(const ChoiceRecord& c) {
  const char* text = c.record.ws_story_choice_text;
  int length = static_cast<int>(sizeof c.record.ws_story_choice_text);
  while (length > 0 && text[length - 1] == ' ') --length;
  if (length <= kChoiceLine) return;
  warning(kChoiceFile, c.line.number,
          "choice text is " + std::to_string(length) +
              " characters long: after " + std::to_string(kChoiceLine) +
              " it wraps to the start of the next line of the page");
}

void Checker::check_play(const StoryWalk& walk) {
  walk_ = &walk;
  text_shown_.assign(story_.texts.size(), false);
  for (std::size_t i = 0; i < story_.pages.size(); ++i) {
    std::string_view key = story_.pages[i].key();
    page_with_key_.try_emplace(key, static_cast<int>(i));
    if (!walk.reached[i]) continue;
    reached_with_key_.try_emplace(key, static_cast<int>(i));
    if (walk.pages[i].shown_text != kNone)
      text_shown_[walk.pages[i].shown_text] = true;
  }
  check_starts();
  check_pages();
  check_texts();
  check_choices();
}

void Checker::note_path(Diagnostic& d, int state) {
  for (int e = 1; e <= 4; ++e) {
    const EpisodeWalk& episode = walk_->episodes[e - 1];
    if (!episode.reached[state]) continue;
    std::size_t line = episode.start_record == kNone
                           ? 0
                           : story_.starts[episode.start_record].line.number;
    Diagnostics::note(d, story_.paths[kStartFile], line,
                      "reached in episode " + std::to_string(e) + ": " +
                          path_to(story_, episode, state));
    return;
  }
}

void Checker::check_starts() {
  // Several start records for one episode: the last one wins.
  for (std::size_t i = 0; i < story_.starts.size(); ++i) {
    const StartRecord& s = story_.starts[i];
    char episode = s.record.ws_story_start_episode[0];
    if (episode < '1' || episode > '4') continue;
    int last = walk_->episodes[episode - '1'].start_record;
    if (last == static_cast<int>(i)) continue;
    warning(kStartFile, s.line.number,
            std::string("episode ") + episode +
                " has a later start record on line " +
                std::to_string(story_.starts[last].line.number) +
                ", which wins: this one is ignored");
  }

  for (int e = 1; e <= 4; ++e) {
    const EpisodeWalk& episode = walk_->episodes[e - 1];
    std::string name = "episode " + std::to_string(e);
    std::string id = shown(episode.start_id);
    if (episode.start_record == kNone) {
      error(kStartFile, 0,
            name + " has no start record: " +
                (episode.start_page == kNone
                     ? "choosing it stops the game"
                     : "choosing it starts at page " + id));
      continue;
    }
    std::size_t line = story_.starts[episode.start_record].line.number;
    if (episode.start_page == kNone) {
      error(kStartFile, line,
            name + " starts at page " + id +
                ", which no page index record carries: choosing it stops "
                "the game");
      continue;
    }
    if (!walk_->can_end[episode.start_page]) {
      error(kStartFile, line,
            name +
                " can never end: no ending can be reached from its start "
                "page " +
                id);
      continue;
    }
    // A won ending of episode 4 unlocks nothing new.
    if (e <= 3 && !episode.can_win)
      warning(kStartFile, line,
              name + " has no reachable won ending: " +
                  (episode.can_end
                       ? "every ending it reaches shows \"GAME OVER\", so "
                       : "it reaches no ending at all, so ") +
                  "it cannot unlock episode 4");
  }
}

void Checker::check_pages() {
  const int n = static_cast<int>(story_.pages.size());
  // Trap entries: states from which no ending can be reached, entered from
  // a state from which one can. The states behind them are trapped too, and
  // only the way in is reported.
  std::vector<bool> trap_entry(n, false);
  for (int i = 0; i < n; ++i) {
    if (!walk_->reached[i] || !walk_->can_end[i]) continue;
    for (const Slot& slot : walk_->pages[i].slots)
      if (slot.kind == SlotKind::kPage && !walk_->can_end[slot.target])
        trap_entry[slot.target] = true;
  }

  std::unordered_map<std::string_view, int> first_with_id;
  for (int i = 0; i < n; ++i) {
    const PageRecord& p = story_.pages[i];
    const PageState& s = walk_->pages[i];
    std::string_view key = p.key();
    std::size_t line = p.line.number;
    // A key that is not all digits is reported on its own.
    if (!digit_key(key) && !walk_->reached[i]) continue;
    auto [first, is_new] = first_with_id.try_emplace(key.substr(1), i);
    if (!is_new)
      warning(kPageFile, line,
              "story id " + shown(p.ws_story_id) + " is also on line " +
                  std::to_string(story_.pages[first->second].line.number) +
                  ": the page loop takes whichever comes next after the "
                  "current page");
    if (!walk_->reached[i]) {
      warning(kPageFile, line,
              page_name(key) + " is never reached from any episode's start");
      continue;
    }
    if (s.own_text == kNone)
      warning(kPageFile, line,
              page_name(key) + " has no text record: it shows " +
                  (s.shown_text == kNone
                       ? std::string("no text")
                       : "the text of the last text record, line " +
                             std::to_string(
                                 story_.texts[s.shown_text].line.number)));
    if (s.bad_choice != kNone) continue;  // reported on the choice record
    if (!s.can_take_a_choice()) {
      note_path(error(kPageFile, line,
                      page_name(key) +
                          " has no choice that can be taken: the player is "
                          "stuck on it"),
                i);
    } else if (trap_entry[i]) {
      note_path(error(kPageFile, line,
                      "no ending can be reached from " + page_name(key) +
                          ": the player is trapped once there"),
                i);
    }
  }
}

void Checker::check_texts() {
  std::unordered_map<std::string_view, int> first;
  for (int i = 0; i < static_cast<int>(story_.texts.size()); ++i) {
    const TextRecord& t = story_.texts[i];
    std::string_view key = key_of(t.record);
    std::size_t line = t.line.number;
    auto [earlier, is_new] = first.try_emplace(key, i);
    // The last text record is shown on reached pages without their own.
    if (!digit_key(key) || text_shown_[i]) continue;
    if (!is_new) {
      warning(kTextFile, line,
              "the text of " + page_name(key) + " is on line " +
                  std::to_string(story_.texts[earlier->second].line.number) +
                  " already: this one is never shown");
    } else if (!some_page_is(key)) {
      warning(kTextFile, line,
              "text for " + page_name(key) +
                  " is never shown: no page index "
                  "record is \"" +
                  report_text(key.data(), 4) + "\"");
    }
  }
}

void Checker::check_choices() {
  const int count = static_cast<int>(story_.choices.size());
  // The record that fills each slot of each page: the last one.
  std::unordered_map<std::string, int> last;
  for (int i = 0; i < count; ++i) {
    const WsStoryChoice& r = story_.choices[i].record;
    std::string slot(key_of(r));
    slot += r.ws_story_choice_number[0];
    last[slot] = i;
  }

  for (int i = 0; i < count; ++i) {
    const ChoiceRecord& c = story_.choices[i];
    const WsStoryChoice& r = c.record;
    std::string_view key = key_of(r);
    std::size_t line = c.line.number;
    if (!digit_key(key)) continue;  // matches nothing, reported above
    if (!some_page_is(key)) {
      warning(kChoiceFile, line,
              "choice for " + page_name(key) +
                  " is never offered: no page "
                  "index record is \"" +
                  report_text(key.data(), 4) + "\"");
      continue;
    }
    int reached = reached_page_with(key);
    int number = digits_value(r.ws_story_choice_number);
    std::string choice =
        "choice " + shown(r.ws_story_choice_number) + " of " + page_name(key);

    if (number < 1 || number > 4) {
      std::string text = "choice number \"" + shown(r.ws_story_choice_number) +
                         "\" is not 1-4: the game stops when it shows " +
                         page_name(key);
      if (reached == kNone)
        warning(kChoiceFile, line, text);
      else
        note_path(error(kChoiceFile, line, text), reached);
      continue;
    }

    std::string slot(key);
    slot += r.ws_story_choice_number[0];
    int winner = last[slot];
    if (winner != i) {
      warning(kChoiceFile, line,
              choice + " is set again on line " +
                  std::to_string(story_.choices[winner].line.number) +
                  ", which wins: this record is ignored");
      continue;
    }
    const char(&dest)[3] = r.ws_story_choice_destination;
    if (std::string_view(dest, 3) == "998") {
      warning(kChoiceFile, line,
              choice +
                  " leads to 998, which marks an empty slot: it can "
                  "never be taken");
      continue;
    }
    if (std::string_view(dest, 3) == "999" ||
        find_page(story_, dest, 0) != kNone)
      continue;
    std::string text = choice + " leads to page " + shown(dest) +
                       ", which no page index record carries: the game stops "
                       "when it is taken";
    if (reached == kNone)
      warning(kChoiceFile, line, text);
    else
      note_path(error(kChoiceFile, line, text), reached);
  }
}

}  // namespace

CheckResult check_story(std::string_view dir) {
  CheckResult result;
  result.story = read_story(dir, result.diagnostics);
  Checker checker(result.story, result.diagnostics);
  checker.check_lines();
  if (result.story.complete()) {
    result.walk = walk_story(result.story);
    checker.check_play(*result.walk);
  }
  return result;
}

}  // namespace kep::check
