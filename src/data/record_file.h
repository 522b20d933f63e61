// A story data file: a text file read line by line as fixed-length records.
//
// From line to record:
//   - a record is the characters of one line, up to its line feed;
//   - a shorter line is padded on the right with spaces (an empty line is a
//     record of spaces);
//   - a longer line gives its first record_length characters; the rest of the
//     line, up to and including its line feed, is skipped without being held;
//   - a carriage return directly before a line feed is dropped, so CR LF files
//     read like LF files;
//   - a last line without a line feed is a record; the line feed that ends
//     the last line ends the records;
//   - every other byte, NUL included, is data.
//
// The file is read with read(2) into one buffer allocated when the file is
// declared; nothing is allocated per record and nothing is cached between
// opens, so every scan sees the file's current contents.
//
// Any failure of open, read or close ends the run (RunStop, exit status 1)
// with a report such as "./data/story.dat: cannot open: No such file or
// directory".
#ifndef KEP_DATA_RECORD_FILE_H_
#define KEP_DATA_RECORD_FILE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "state/copy_rules.h"

namespace kep {

/// What a read next found.
enum class ReadOutcome { kRecord, kEndOfFile };

class RecordFile {
 public:
  /// The longest record of the four files (a page text record).
  static constexpr std::size_t kMaxRecordLength = 1004;
  static constexpr std::size_t kBufferSize = 64 * 1024;

  /// Declares the file; opens nothing. REQUIRES: record_length <= 1004.
  RecordFile(std::string path, std::size_t record_length);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  /// Opens the file and positions it before its first record. A missing
  /// file, a directory or any other file that is not a regular file, or no
  /// permission ends the run. REQUIRES: the file is not open.
  void open();

  /// Reads the next line into the record area. kEndOfFile when no record is
  /// left; a read error ends the run. REQUIRES: the file is open.
  ReadOutcome read_next();

  /// Reads the next record and, when there is one, moves it into `area`
  /// (space-filled on the right when the area is longer than the record).
  /// At end of file the area keeps its contents.
  template <typename Area>
  ReadOutcome read_next_into(Area& area) {
    return read_next_into(reinterpret_cast<char*>(&area), sizeof(Area));
  }
  /// The same for an area of `size` characters. REQUIRES: size >=
  /// record_length().
  ReadOutcome read_next_into(char* area, std::size_t size);

  /// Closes the file; a failing close ends the run. REQUIRES: open.
  void close();

  bool is_open() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  std::size_t record_length() const { return record_length_; }

  /// The last record read, record_length() characters; valid until the next
  /// read or close. A line that fills the record is read where it lies in
  /// the buffer; a shorter one is padded in the file's own record area.
  const char* record() const { return current_; }
  /// Facts about the last record read, for checkers: the length of its line
  /// (line feed and a dropped carriage return not counted) and its 1-based
  /// line number in the file.
  std::size_t line_length() const { return line_length_; }
  std::size_t line_number() const { return line_number_; }

 private:
  [[noreturn]] void fail(const char* operation, int error) const;
  bool refill();  // false at end of file

  std::string path_;
  std::size_t record_length_;
  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // next unread byte in buffer_
  std::size_t end_ = 0;    // end of valid bytes in buffer_
  bool at_end_ = false;    // read(2) returned 0
  std::size_t line_length_ = 0;
  std::size_t line_number_ = 0;
  char record_[kMaxRecordLength];
  const char* current_ = record_;  // record_, or the line in buffer_
};

}  // namespace kep

#endif  // KEP_DATA_RECORD_FILE_H_
