// The story drawn as a Graphviz map: one cluster per episode digit of the
// page index records, a node per page index record (its story id and the
// first words of the text it shows), an edge per choice labelled with its
// slot, an arrow from each episode's start, and endings marked apart: a
// double circle "won", an octagon "lost". What would stop the game is red:
// a destination no record carries (a dashed edge to a "missing" node), a
// page with a bad choice number, a page with no choice the player can take.
// Pages no episode reaches are dashed and grey.
//
// View it with Graphviz:  dot -Tsvg map.dot -o map.svg
#ifndef KEP_TOOLS_KEP_CHECK_STORY_MAP_H_
#define KEP_TOOLS_KEP_CHECK_STORY_MAP_H_

#include <ostream>

#include "story_model.h"
#include "story_walk.h"

namespace kep::check {

/// How many words of a page's text its node shows.
inline constexpr int kMapWords = 5;

/// Writes the map of `story` as played in `walk` in the DOT language.
void write_map(const StoryModel& story, const StoryWalk& walk,
               std::ostream& out);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_STORY_MAP_H_
