// The largest story the four files allow, for measuring: one episode of 998
// pages (story ids 000-997; 998 and 999 are taken), each with a text of the
// full 1000 characters and four choices of the full 255 characters. Choices
// 1-3 lead to pages drawn at random, so about half of the page turns land on
// a page earlier in the page index file and wrap around it; choice 4 ends the
// episode. Everything is drawn from a fixed seed: the same files every time.
//
//   file               records        bytes
//   story-start.dat          1            5
//   story.dat              998        4 990
//   story-text.dat         998    1 002 990
//   story-choice.dat      3992    1 053 888
#ifndef KEP_BENCH_LARGEST_STORY_H_
#define KEP_BENCH_LARGEST_STORY_H_

#include <cstdint>
#include <string>

namespace kep::bench {

inline constexpr int kPages = 998;
inline constexpr char kEpisode = '1';

struct LargestStory {
  std::string start_id;        // the episode's first page
  std::string last_text_page;  // the page whose text record ends the text file
};

/// Writes the four files into `data_dir` (created if missing).
LargestStory write_largest_story(const std::string& data_dir);

/// The player's entries for one run: the title, a new game of the episode,
/// `turns` page turns taking choices 1-3 drawn from `seed`, choice 4 to end
/// the episode, then quit.
std::string largest_story_entries(int turns, std::uint32_t seed = 7);

}  // namespace kep::bench

#endif  // KEP_BENCH_LARGEST_STORY_H_
