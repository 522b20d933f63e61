// The line-to-record reader over arbitrary bytes, at each record length of the
// four files, against the plain model in line_records.h: every record, every
// line length and line number, end of file that stays at end of file, and a
// reopen that starts again at the first record.
//
// Input: one control byte, then the file's bytes. The control byte can put
// filler before them so that lines straddle the reader's 64 KiB buffer:
//   bits 7-6  0: no filler
//             1: lines of 63 x's up to (64 KiB - low bits) bytes
//             2: one line of x's without a line feed of (64 KiB - low bits)
//             3: low bits x's without a line feed
//   bits 5-0  the low bits
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/record_file.h"
#include "frame/run_stop.h"
#include "fuzz/line_records.h"
#include "state/game_state.h"
#include "testing/temp_dir.h"

namespace kep::fuzz {

void fail(const char* what) {
  std::fprintf(stderr, "reader fuzz: %s\n", what);
  std::abort();
}

namespace {

// Puts the filler that the control byte names into `bytes`.
void put_filler(unsigned char control, std::string& bytes) {
  std::size_t low = control & 63u;
  std::size_t upto = RecordFile::kBufferSize - low;
  switch (control >> 6) {
    case 1:
      while (bytes.size() < upto) bytes.append(63, 'x').push_back('\n');
      bytes.resize(upto);
      bytes.back() = '\n';
      break;
    case 2:
      bytes.assign(upto, 'x');
      break;
    case 3:
      bytes.assign(low, 'x');
      break;
    default:
      break;
  }
}

void read_all(RecordFile& file, std::string_view bytes) {
  const std::size_t length = file.record_length();
  file.open();
  LineCursor lines(bytes);
  std::size_t number = 0;
  for (std::string_view line; lines.next(line);) {
    check(file.read_next() == ReadOutcome::kRecord, "a record is missing");
    check(is_record_of(file.record(), length, line), "a record differs");
    check(file.line_length() == line.size(), "a line length differs");
    check(file.line_number() == ++number, "a line number differs");
  }
  check(file.read_next() == ReadOutcome::kEndOfFile, "records after the last");
  check(file.read_next() == ReadOutcome::kEndOfFile,
        "end of file did not stay");
  file.close();

  // A reopen starts again at the first record.
  file.open();
  lines = LineCursor(bytes);
  std::string_view first;
  if (lines.next(first)) {
    check(file.read_next() == ReadOutcome::kRecord,
          "a reopen lost the records");
    check(is_record_of(file.record(), length, first),
          "a reopen did not start over");
  } else {
    check(file.read_next() == ReadOutcome::kEndOfFile,
          "records in an empty file");
  }
  file.close();
}

// A page index record of 4 characters moved into the 1036-character WS-STORY
// fills the rest, the four choice slots, with spaces.
void read_into_longer_area(RecordFile& file, std::string_view bytes) {
  WsStory area;
  const char* chars = reinterpret_cast<const char*>(&area);
  file.open();
  LineCursor lines(bytes);
  for (std::string_view line; lines.next(line);) {
    check(file.read_next_into(area) == ReadOutcome::kRecord,
          "a record is missing");
    check(is_record_of(chars, sizeof area, line.substr(0, 4)),
          "the moved record is not followed by spaces");
  }
  check(file.read_next_into(area) == ReadOutcome::kEndOfFile,
        "records after the last");
  file.close();
}

}  // namespace
}  // namespace kep::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace kep;
  static TempDir dir;
  static const std::string path = dir.path() + "/records.dat";
  // One declaration per record length of the four files, made once.
  static RecordFile files[] = {{path, 4}, {path, 263}, {path, 1004}};
  if (size == 0) return 0;
  static std::string bytes;  // kept, so its storage is reused
  bytes.clear();
  fuzz::put_filler(data[0], bytes);
  bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  dir.write("records.dat", bytes);
  try {
    for (RecordFile& file : files) fuzz::read_all(file, bytes);
    fuzz::read_into_longer_area(files[0], bytes);
  } catch (const RunStop& stop) {
    std::fprintf(stderr, "reader fuzz: %s\n", stop.report().c_str());
    fuzz::fail("a regular file failed to read");
  }
  return 0;
}
