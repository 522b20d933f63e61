// The four story data files of a data directory (./data for the game): their
// declarations and one RecordFile each. Declaring opens nothing; each scan
// opens, reads from the first record and closes its own file.
//
//   select name            file             record  work area
//   FD-STORY-START-FILE    story-start.dat     4    WS-STORY-START
//   FD-STORY-FILE          story.dat           4    WS-STORY (1036)
//   FD-STORY-TEXT-FILE     story-text.dat   1004    WS-STORY-TEXT
//   FD-STORY-CHOICE-FILE   story-choice.dat  263    WS-STORY-CHOICE
#ifndef KEP_DATA_STORY_FILES_H_
#define KEP_DATA_STORY_FILES_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "data/record_file.h"

namespace kep {

struct FileDeclaration {
  const char* select_name;
  const char* file_name;
  std::size_t record_length;
};

inline constexpr FileDeclaration kFdStoryStartFile{"FD-STORY-START-FILE",
                                                   "story-start.dat", 4};
inline constexpr FileDeclaration kFdStoryFile{"FD-STORY-FILE", "story.dat", 4};
inline constexpr FileDeclaration kFdStoryTextFile{"FD-STORY-TEXT-FILE",
                                                  "story-text.dat", 1004};
inline constexpr FileDeclaration kFdStoryChoiceFile{"FD-STORY-CHOICE-FILE",
                                                    "story-choice.dat", 263};

/// The directory the game reads, relative to its working directory.
inline constexpr std::string_view kDataDirectory = "./data";

/// "dir/file_name", e.g. "./data/story.dat".
std::string data_path(std::string_view dir, const FileDeclaration& file);

struct StoryFiles {
  explicit StoryFiles(std::string_view dir);

  RecordFile fd_story_start_file;
  RecordFile fd_story_file;
  RecordFile fd_story_text_file;
  RecordFile fd_story_choice_file;
};

}  // namespace kep

#endif  // KEP_DATA_STORY_FILES_H_
