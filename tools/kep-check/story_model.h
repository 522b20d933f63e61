// A data directory's four story files, read once with the game's own reader
// (kep::StoryFiles, kep::RecordFile) into the game's record layouts, with
// the line each record came from. The checker reads the files once and then
// plays the story in memory; the game re-reads them for every page, but it
// sees the same records in the same order.
#ifndef KEP_TOOLS_KEP_CHECK_STORY_MODEL_H_
#define KEP_TOOLS_KEP_CHECK_STORY_MODEL_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/story_files.h"
#include "diagnostics.h"
#include "state/game_state.h"

namespace kep::check {

/// The four files in the order they are declared; also the order findings
/// are printed in.
enum FileOrder { kStartFile, kPageFile, kTextFile, kChoiceFile, kFileCount };

/// Where a record came from: its 1-based line and the length of that line
/// (without its line feed), which may exceed the record.
struct LineFacts {
  std::size_t number;
  std::size_t length;
};

struct StartRecord {
  WsStoryStart record;
  LineFacts line;
};

/// A page index record as the page loop sees it after moving it into
/// WS-STORY: its episode digit and story id (the slots are blank then).
struct PageRecord {
  char ws_story_episode[1];
  char ws_story_id[3];
  LineFacts line;

  /// Columns 1-4, the key the text and choice lookups compare.
  std::string_view key() const {
    return {reinterpret_cast<const char*>(this), 4};
  }
};
static_assert(offsetof(PageRecord, ws_story_id) == 1);

struct TextRecord {
  WsStoryText record;
  LineFacts line;
};

struct ChoiceRecord {
  WsStoryChoice record;
  LineFacts line;
};

struct StoryModel {
  const FileDeclaration* declarations[kFileCount];
  std::string paths[kFileCount];
  bool readable[kFileCount] = {false, false, false, false};

  std::vector<StartRecord> starts;
  std::vector<PageRecord> pages;  // index = position in the page index file
  std::vector<TextRecord> texts;
  std::vector<ChoiceRecord> choices;

  /// True when all four files were read to their end.
  bool complete() const;
};

/// Reads the four files of `dir`. A file that cannot be opened or read is
/// reported as an error on that file (with the reader's reason) and leaves
/// its records empty and readable[] false.
StoryModel read_story(std::string_view dir, Diagnostics& out);

}  // namespace kep::check

#endif  // KEP_TOOLS_KEP_CHECK_STORY_MODEL_H_
