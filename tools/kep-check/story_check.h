// kep-check's findings about a data directory: errors where the game stops,
// hangs or traps the player, warnings where the story is legal but probably
// not what its author meant. See kep-check(1) for the full list.
#ifndef KEP_TOOLS_KEP_CHECK_STORY_CHECK_H_
#define KEP_TOOLS_KEP_CHECK_STORY_CHECK_H_

#include <optional>
#include <string_view>

#include "diagnostics.h"
#include "story_model.h"
#include "story_walk.h"

namespace kep::check {

/// Where a line of page text wraps on the story page: the text starts in
/// screen column 19, so its first screen line holds 62 characters and every
/// following line 80.
inline constexpr int kFirstTextLine = 62;
inline constexpr int kScreenWidth = 80;
/// A choice line starts in screen column 4.
inline constexpr int kChoiceLine = 77;

struct CheckResult {
  StoryModel story;
  std::optional<StoryWalk> walk;  // only when all four files could be read
  Diagnostics diagnostics;
};

/// Reads the story files of `dir`, checks every record and plays every
/// episode.
CheckResult check_story(std::string_view dir);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_STORY_CHECK_H_
