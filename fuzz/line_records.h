// The line-to-record rules written out plainly over a whole file held in
// memory, as the fuzz targets' model of what the reader must produce:
//   - a record is one line, its line feed not included;
//   - a carriage return right before a line feed is dropped;
//   - shorter lines are padded with spaces, longer ones cut to the record;
//   - the line feed that ends the last line ends the records, and a last
//     line without one is still a record.
#ifndef KEP_FUZZ_LINE_RECORDS_H_
#define KEP_FUZZ_LINE_RECORDS_H_

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kep::fuzz {

/// The lines of a file, one after the other.
class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}

  /// The next line without its line feed (and dropped carriage return);
  /// false when no line is left.
  bool next(std::string_view& line) {
    if (at_ >= bytes_.size()) return false;
    std::size_t lf = bytes_.find('\n', at_);
    bool ended = lf != std::string_view::npos;
    line = bytes_.substr(at_, ended ? lf - at_ : bytes_.size() - at_);
    if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    at_ = ended ? lf + 1 : bytes_.size();
    return true;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

/// Whether `record` (record_length characters) is what `line` gives.
/// REQUIRES: record_length <= 1036.
inline bool is_record_of(const char* record, std::size_t record_length,
                         std::string_view line) {
  static const std::string kSpaces(1036, ' ');
  std::size_t kept = line.size() < record_length ? line.size() : record_length;
  return std::memcmp(record, line.data(), kept) == 0 &&
         std::memcmp(record + kept, kSpaces.data(), record_length - kept) == 0;
}

/// Every record of a file, each exactly record_length characters.
inline std::vector<std::string> records_of(std::string_view bytes,
                                           std::size_t record_length) {
  std::vector<std::string> records;
  LineCursor lines(bytes);
  for (std::string_view line; lines.next(line);) {
    std::string record(line.substr(0, record_length));
    record.resize(record_length, ' ');
    records.push_back(std::move(record));
  }
  return records;
}

/// Stops the fuzz run with a crash that libFuzzer reports and keeps.
[[noreturn]] void fail(const char* what);
inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

}  // namespace kep::fuzz

#endif  // KEP_FUZZ_LINE_RECORDS_H_
