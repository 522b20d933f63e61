// Line-to-record reading over a read(2) buffer. See record_file.h.
#include "data/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "frame/run_stop.h"

namespace kep {

RecordFile::RecordFile(std::string path, std::size_t record_length)
    : path_(std::move(path)),
      record_length_(record_length),
      buffer_(new char[kBufferSize]) {
  std::memset(record_, ' ', sizeof record_);
}

RecordFile::~RecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

void RecordFile::fail(const char* operation, int error) const {
  std::string report = path_;
  report += ": cannot ";
  report += operation;
  report += ": ";
  report += error ? std::strerror(error) : "not a regular file";
  stop_run(1, std::move(report));
}

void RecordFile::open() {
  // O_NONBLOCK keeps a FIFO at the path from blocking the open; it is
  // refused below like any other file that is not a regular file.
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) fail("open", errno);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int error = S_ISDIR(st.st_mode) ? EISDIR : 0;
    ::close(fd);
    fail("open", error);
  }
  fd_ = fd;
  begin_ = end_ = 0;
  at_end_ = false;
  line_number_ = 0;
}

bool RecordFile::refill() {
  if (at_end_) return false;
  for (;;) {
    ssize_t n = ::read(fd_, buffer_.get(), kBufferSize);
    if (n > 0) {
      begin_ = 0;
      end_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n == 0) {
      at_end_ = true;
      return false;
    }
    if (errno != EINTR && errno != EAGAIN) fail("read", errno);
  }
}

ReadOutcome RecordFile::read_next_into(char* area, std::size_t size) {
  ReadOutcome outcome = read_next();
  if (outcome == ReadOutcome::kRecord)
    move_text(area, size, current_, record_length_);
  return outcome;
}

ReadOutcome RecordFile::read_next() {
  // The usual line lies whole in the buffer and fills the record: the record
  // is then read where it lies, without a copy.
  if (begin_ < end_) {
    const char* start = buffer_.get() + begin_;
    const char* lf =
        static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (lf != nullptr) {
      std::size_t length = static_cast<std::size_t>(lf - start);
      if (length > 0 && start[length - 1] == '\r') --length;
      if (length >= record_length_) {
        current_ = start;
        begin_ += static_cast<std::size_t>(lf - start) + 1;
        line_length_ = length;
        ++line_number_;
        return ReadOutcome::kRecord;
      }
    }
  }
  std::size_t line_length = 0;  // bytes of the line so far, line feed excluded
  bool last_was_cr = false;
  bool line_ended = false;
  bool any = false;
  while (!line_ended) {
    if (begin_ == end_ && !refill()) break;
    any = true;
    const char* start = buffer_.get() + begin_;
    std::size_t avail = end_ - begin_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', avail));
    std::size_t chunk = lf ? static_cast<std::size_t>(lf - start) : avail;
    if (line_length < record_length_) {
      std::size_t take = record_length_ - line_length;
      if (take > chunk) take = chunk;
      std::memcpy(record_ + line_length, start, take);
    }
    if (chunk > 0) last_was_cr = start[chunk - 1] == '\r';
    line_length += chunk;
    begin_ += chunk;
    if (lf) {
      ++begin_;
      line_ended = true;
    }
  }
  if (!any) return ReadOutcome::kEndOfFile;
  current_ = record_;
  // A carriage return right before the line feed is not data.
  if (line_ended && last_was_cr) --line_length;
  std::size_t filled = line_length < record_length_ ? line_length : record_length_;
  std::memset(record_ + filled, ' ', record_length_ - filled);
  line_length_ = line_length;
  ++line_number_;
  return ReadOutcome::kRecord;
}

void RecordFile::close() {
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail("close", errno);
}

}  // namespace kep
