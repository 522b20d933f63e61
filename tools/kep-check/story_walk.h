// The story as the game plays it: a graph whose states are page index
// records (positions in the page index file), not story ids, because the
// page loop finds a destination by story id alone, searching from the record
// after the current page and wrapping to the first record, and then looks
// the page's text and choices up under the episode digit of the record it
// found. Two records carrying one id are two states.
//
// From a state:
//   - the text shown is the first text record whose columns 1-4 equal the
//     page index record's, or else the last record of the text file (or
//     blanks when that file is empty); an ending chosen on the page is won
//     when that text holds no "GAME OVER";
//   - slot n holds the last matching choice record with choice number n,
//     or nothing (destination 998); a matching record whose number is not
//     1-4 stops the game on this page;
//   - a destination other than 998 and 999 leads to the next record after
//     this one, wrapping, that carries the destination id, or to none: the
//     game then stops ("no page with story id").
//
// Each episode starts at the first record carrying the start id of its last
// start record (000 when it has none) and is walked breadth first, every
// state once.
#ifndef KEP_TOOLS_KEP_CHECK_STORY_WALK_H_
#define KEP_TOOLS_KEP_CHECK_STORY_WALK_H_

#include <string>
#include <vector>

#include "story_model.h"

namespace kep::check {

inline constexpr int kNone = -1;

enum class SlotKind {
  kEmpty,    // destination 998: the player cannot take it
  kEnding,   // destination 999
  kPage,     // leads to the state `target`
  kMissing,  // no page index record carries the destination: the game stops
};

struct Slot {
  SlotKind kind = SlotKind::kEmpty;
  int choice = kNone;  // the choice record that fills the slot, or none
  int target = kNone;  // for kPage
};

/// What the game makes of one page index record.
struct PageState {
  int own_text = kNone;     // first matching text record, or none
  int shown_text = kNone;   // the record whose text is shown, none = blanks
  bool ending_won = false;  // the text shown holds no "GAME OVER"
  int bad_choice = kNone;   // first matching choice record numbered outside 1-4
  Slot slots[4];

  bool has_ending() const;
  bool can_take_a_choice() const;  // some slot is not 998
};

struct EpisodeWalk {
  int start_record = kNone;  // last start record of the episode
  int start_page = kNone;    // the state the episode begins in
  char start_id[3] = {'0', '0', '0'};
  std::vector<bool> reached;  // by state
  // The breadth-first tree: how each reached state was first reached.
  std::vector<int> parent;       // state, kNone at the start
  std::vector<int> parent_slot;  // 1-4
  bool can_end = false;          // a reached state offers an ending
  bool can_win = false;          // a reached state offers a won ending
};

struct StoryWalk {
  std::vector<PageState> pages;  // by state
  EpisodeWalk episodes[4];       // episodes 1-4
  std::vector<bool> reached;     // by any episode
  std::vector<bool> can_end;     // an ending, or a stop, can follow
};

/// Plays every episode of `story` exhaustively. REQUIRES: story.complete().
StoryWalk walk_story(const StoryModel& story);

/// The first state at or after `from`, wrapping, whose story id is `id`;
/// kNone when no record carries it.
int find_page(const StoryModel& story, const char (&id)[3], int from);

/// "001 -> 005 (choice 2) -> 012 (choice 1)": how `walk` first reached
/// `state`.
std::string path_to(const StoryModel& story, const EpisodeWalk& walk,
                    int state);

/// Occurrences of "GAME OVER" in a page text, as the ending test counts them.
int count_game_over(const char (&body)[1000]);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_STORY_WALK_H_
