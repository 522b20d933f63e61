#include "story_walk.h"

#include <cstring>
#include <deque>
#include <string_view>
#include <unordered_map>

#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep::check {

namespace {

std::string_view chars(const char* p, std::size_t n) { return {p, n}; }

// Columns 1-4 of a record: the episode digit and the story id, the key the
// text and choice lookups compare.
template <typename Record>
std::string_view key_of(const Record& r) {
  return chars(reinterpret_cast<const char*>(&r), 4);
}

bool is_digits(const char (&field)[3], const char* value) {
  return std::memcmp(field, value, 3) == 0;
}

class Lookups {
 public:
  explicit Lookups(const StoryModel& story) {
    for (int i = 0; i < static_cast<int>(story.texts.size()); ++i)
      first_text_.try_emplace(key_of(story.texts[i].record), i);
    for (int i = 0; i < static_cast<int>(story.choices.size()); ++i)
      choices_[key_of(story.choices[i].record)].push_back(i);
    for (int i = 0; i < static_cast<int>(story.pages.size()); ++i)
      pages_by_id_[chars(story.pages[i].ws_story_id, 3)].push_back(i);
  }

  // find_page() without reading the whole index for every choice: the
  // records carrying `id` are kept in file order.
  int next_page(const char (&id)[3], int from) const {
    auto it = pages_by_id_.find(chars(id, 3));
    if (it == pages_by_id_.end()) return kNone;
    for (int i : it->second)
      if (i >= from) return i;
    return it->second.front();
  }

  int first_text(std::string_view key) const {
    auto it = first_text_.find(key);
    return it == first_text_.end() ? kNone : it->second;
  }

  const std::vector<int>& choices(std::string_view key) const {
    static const std::vector<int> kNoChoices;
    auto it = choices_.find(key);
    return it == choices_.end() ? kNoChoices : it->second;
  }

 private:
  std::unordered_map<std::string_view, int> first_text_;
  std::unordered_map<std::string_view, std::vector<int>> choices_;
  std::unordered_map<std::string_view, std::vector<int>> pages_by_id_;
};

PageState page_state(const StoryModel& story, const Lookups& lookups,
                     int state) {
  const PageRecord& page = story.pages[state];
  std::string_view key = page.key();
  PageState s;

  // The text scan stops at the first match; without one the text area
  // holds the file's last record, or the blanks it started with.
  s.own_text = lookups.first_text(key);
  s.shown_text = s.own_text != kNone ? s.own_text
                                     : static_cast<int>(story.texts.size()) - 1;
  s.ending_won =
      s.shown_text == kNone ||
      count_game_over(story.texts[s.shown_text].record.ws_story_text_body) == 0;

  // The choice scan reads the whole file: the last record for a slot wins,
  // and the first record numbered outside 1-4 stops the game.
  for (int c : lookups.choices(key)) {
    const WsStoryChoice& r = story.choices[c].record;
    int n = digits_value(r.ws_story_choice_number);
    if (n < 1 || n > 4) {
      if (s.bad_choice == kNone) s.bad_choice = c;
      continue;
    }
    s.slots[n - 1].choice = c;
  }
  for (Slot& slot : s.slots) {
    if (slot.choice == kNone) continue;
    const char(&dest)[3] =
        story.choices[slot.choice].record.ws_story_choice_destination;
    if (is_digits(dest, "998")) {
      slot.kind = SlotKind::kEmpty;
    } else if (is_digits(dest, "999")) {
      slot.kind = SlotKind::kEnding;
    } else {
      // The pass goes on after this record; the next pass starts again at
      // the first record and reaches this one last.
      int from = (state + 1) % static_cast<int>(story.pages.size());
      slot.target = lookups.next_page(dest, from);
      slot.kind = slot.target == kNone ? SlotKind::kMissing : SlotKind::kPage;
    }
  }
  return s;
}

void walk_episode(const StoryModel& story, const StoryWalk& walk, int episode,
                  EpisodeWalk& e) {
  const std::size_t n = story.pages.size();
  e.reached.assign(n, false);
  e.parent.assign(n, kNone);
  e.parent_slot.assign(n, 0);

  // The last start record of the episode decides the start id; without
  // one the page loop looks for 000.
  const char digit = static_cast<char>('0' + episode);
  for (int i = 0; i < static_cast<int>(story.starts.size()); ++i)
    if (story.starts[i].record.ws_story_start_episode[0] == digit)
      e.start_record = i;
  if (e.start_record != kNone)
    move_field(e.start_id,
               story.starts[e.start_record].record.ws_story_start_id);
  e.start_page = find_page(story, e.start_id, 0);
  if (e.start_page == kNone) return;

  std::deque<int> queue{e.start_page};
  e.reached[e.start_page] = true;
  while (!queue.empty()) {
    int state = queue.front();
    queue.pop_front();
    const PageState& s = walk.pages[state];
    if (s.bad_choice != kNone) continue;  // the game stops on this page
    for (int slot = 0; slot < 4; ++slot) {
      const Slot& to = s.slots[slot];
      if (to.kind == SlotKind::kEnding) {
        e.can_end = true;
        if (s.ending_won) e.can_win = true;
      }
      if (to.kind != SlotKind::kPage || e.reached[to.target]) continue;
      e.reached[to.target] = true;
      e.parent[to.target] = state;
      e.parent_slot[to.target] = slot + 1;
      queue.push_back(to.target);
    }
  }
}

// A state can end when it offers an ending, or when the game stops on it or
// on one of its choices (an error of its own, so not also a trap), or when
// a state it leads to can end.
std::vector<bool> states_that_can_end(const StoryWalk& walk) {
  const std::size_t n = walk.pages.size();
  std::vector<std::vector<int>> leads_here(n);
  std::vector<bool> can_end(n, false);
  std::deque<int> queue;
  for (std::size_t i = 0; i < n; ++i) {
    const PageState& s = walk.pages[i];
    bool ends = s.bad_choice != kNone;
    for (const Slot& slot : s.slots) {
      if (slot.kind == SlotKind::kEnding || slot.kind == SlotKind::kMissing)
        ends = true;
      if (slot.kind == SlotKind::kPage)
        leads_here[slot.target].push_back(static_cast<int>(i));
    }
    if (ends) {
      can_end[i] = true;
      queue.push_back(static_cast<int>(i));
    }
  }
  while (!queue.empty()) {
    int state = queue.front();
    queue.pop_front();
    for (int from : leads_here[state]) {
      if (can_end[from]) continue;
      can_end[from] = true;
      queue.push_back(from);
    }
  }
  return can_end;
}

}  // namespace

bool PageState::has_ending() const {
  for (const Slot& slot : slots)
    if (slot.kind == SlotKind::kEnding) return true;
  return false;
}

bool PageState::can_take_a_choice() const {
  for (const Slot& slot : slots)
    if (slot.kind != SlotKind::kEmpty) return true;
  return false;
}

int find_page(const StoryModel& story, const char (&id)[3], int from) {
  const int n = static_cast<int>(story.pages.size());
  for (int k = 0; k < n; ++k) {
    int i = (from + k) % n;
    if (same_chars(story.pages[i].ws_story_id, id)) return i;
  }
  return kNone;
}

int count_game_over(const char (&body)[1000]) {
  static constexpr char kWords[] = "GAME OVER";
  static constexpr std::size_t kLength = sizeof kWords - 1;
  int count = 0;
  for (std::size_t at = 0; at + kLength <= sizeof body;) {
    if (std::memcmp(body + at, kWords, kLength) == 0) {
      ++count;
      at += kLength;
    } else {
      ++at;
    }
  }
  return count;
}

StoryWalk walk_story(const StoryModel& story) {
  StoryWalk walk;
  Lookups lookups(story);
  const int n = static_cast<int>(story.pages.size());
  walk.pages.reserve(n);
  for (int i = 0; i < n; ++i)
    walk.pages.push_back(page_state(story, lookups, i));
  walk.reached.assign(n, false);
  for (int e = 1; e <= 4; ++e) {
    EpisodeWalk& episode = walk.episodes[e - 1];
    walk_episode(story, walk, e, episode);
    for (int i = 0; i < n; ++i)
      if (episode.reached[i]) walk.reached[i] = true;
  }
  walk.can_end = states_that_can_end(walk);
  return walk;
}

std::string path_to(const StoryModel& story, const EpisodeWalk& walk,
                    int state) {
  std::vector<int> trail;
  for (int s = state; s != kNone; s = walk.parent[s]) trail.push_back(s);
  std::string text;
  for (auto it = trail.rbegin(); it != trail.rend(); ++it) {
    if (!text.empty()) text += " -> ";
    text += report_text(story.pages[*it].ws_story_id, 3);
    if (walk.parent[*it] != kNone)
      text += " (choice " + std::to_string(walk.parent_slot[*it]) + ")";
  }
  return text;
}

}  // namespace kep::check
