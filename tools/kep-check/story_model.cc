#include "story_model.h"

#include "frame/run_stop.h"
#include "state/copy_rules.h"

namespace kep::check {

namespace {

// Reads every record of `file`, from its first to its end, handing each to
// `take`. A failure of the reader becomes an error on the file.
template <typename Take>
bool read_all(RecordFile& file, int order, Diagnostics& out, Take take) {
  try {
    file.open();
    while (file.read_next() == ReadOutcome::kRecord)
      take(file, LineFacts{file.line_number(), file.line_length()});
    file.close();
    return true;
  } catch (const RunStop& stop) {
    // The reader's report is "path: cannot open: reason"; the path goes in
    // front of the finding already.
    std::string reason = stop.report();
    if (reason.compare(0, file.path().size() + 2, file.path() + ": ") == 0)
      reason.erase(0, file.path().size() + 2);
    out.add(Severity::kError, order, file.path(), 0, reason);
    return false;
  }
}

}  // namespace

bool StoryModel::complete() const {
  for (bool r : readable)
    if (!r) return false;
  return true;
}

StoryModel read_story(std::string_view dir, Diagnostics& out) {
  StoryModel story;
  StoryFiles files(dir);
  story.declarations[kStartFile] = &kFdStoryStartFile;
  story.declarations[kPageFile] = &kFdStoryFile;
  story.declarations[kTextFile] = &kFdStoryTextFile;
  story.declarations[kChoiceFile] = &kFdStoryChoiceFile;
  story.paths[kStartFile] = files.fd_story_start_file.path();
  story.paths[kPageFile] = files.fd_story_file.path();
  story.paths[kTextFile] = files.fd_story_text_file.path();
  story.paths[kChoiceFile] = files.fd_story_choice_file.path();

  story.readable[kStartFile] =
      read_all(files.fd_story_start_file, kStartFile, out,
               [&](const RecordFile& file, LineFacts line) {
                 StartRecord r;
                 move_record(r.record, file.record());
                 r.line = line;
                 story.starts.push_back(r);
               });
  story.readable[kPageFile] =
      read_all(files.fd_story_file, kPageFile, out,
               [&](const RecordFile& file, LineFacts line) {
                 // The same move as the page loop's: the record's 4 characters
                 // go to positions 1-4 of WS-STORY.
                 WsStory moved;
                 move_text(reinterpret_cast<char*>(&moved), sizeof moved,
                           file.record(), file.record_length());
                 PageRecord r;
                 move_field(r.ws_story_episode, moved.ws_story_episode);
                 move_field(r.ws_story_id, moved.ws_story_id);
                 r.line = line;
                 story.pages.push_back(r);
               });
  story.readable[kTextFile] =
      read_all(files.fd_story_text_file, kTextFile, out,
               [&](const RecordFile& file, LineFacts line) {
                 story.texts.emplace_back();
                 move_record(story.texts.back().record, file.record());
                 story.texts.back().line = line;
               });
  story.readable[kChoiceFile] =
      read_all(files.fd_story_choice_file, kChoiceFile, out,
               [&](const RecordFile& file, LineFacts line) {
                 ChoiceRecord r;
                 move_record(r.record, file.record());
                 r.line = line;
                 story.choices.push_back(r);
               });
  return story;
}

}  // namespace kep::check
