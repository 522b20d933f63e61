#include "data/story_files.h"

namespace kep {

std::string data_path(std::string_view dir, const FileDeclaration& file) {
  std::string path(dir);
  path += '/';
  path += file.file_name;
  return path;
}

StoryFiles::StoryFiles(std::string_view dir)
    : fd_story_start_file(data_path(dir, kFdStoryStartFile),
                          kFdStoryStartFile.record_length),
      fd_story_file(data_path(dir, kFdStoryFile), kFdStoryFile.record_length),
      fd_story_text_file(data_path(dir, kFdStoryTextFile),
                         kFdStoryTextFile.record_length),
      fd_story_choice_file(data_path(dir, kFdStoryChoiceFile),
                           kFdStoryChoiceFile.record_length) {}

}  // namespace kep
