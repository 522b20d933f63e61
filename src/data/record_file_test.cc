#include "data/record_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "frame/run_stop.h"
#include "testing/temp_dir.h"

namespace kep {
namespace {

std::vector<std::string> records_of(const std::string& content,
                                    std::size_t length) {
  TempDir dir;
  std::string path = dir.write("f.dat", content);
  RecordFile file(path, length);
  file.open();
  std::vector<std::string> records;
  while (file.read_next() == ReadOutcome::kRecord)
    records.emplace_back(file.record(), length);
  file.close();
  return records;
}

TEST(RecordFile, LineToRecordRules) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> records;
  } cases[] = {
      {"short line padded", "1001\n12\n", {"1001", "12  "}},
      {"long line cut, rest skipped", "1001xyz\n2002\n", {"1001", "2002"}},
      {"empty line is spaces", "\n1001\n", {"    ", "1001"}},
      {"last LF ends the records", "1001\n", {"1001"}},
      {"no final LF is a record", "1001\n2002", {"1001", "2002"}},
      {"CR LF reads like LF", "1001\r\n12\r\n\r\n", {"1001", "12  ", "    "}},
      {"CR cut with a long line", "1001\r\n", {"1001"}},
      {"CR not before LF is data", "1\r2\n", {"1\r2 "}},
      {"NUL is data", std::string("1\0002\n", 4), {std::string("1\0002 ", 4)}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(records_of(c.content, 4), c.records) << c.name;
}

TEST(RecordFile, TextLineOfTenCharacters) {
  std::vector<std::string> r = records_of("1001abcdef\n", 1004);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], "1001abcdef" + std::string(994, ' '));
}

TEST(RecordFile, LongLinesAcrossBufferBoundaries) {
  // A line far longer than the buffer, ending with CR LF across a refill,
  // followed by a normal line.
  std::string huge = "1001" + std::string(3 * RecordFile::kBufferSize, 'x');
  std::string content = huge + "\r\n" + "2002\n";
  std::vector<std::string> r = records_of(content, 1004);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], huge.substr(0, 1004));
  EXPECT_EQ(r[1], "2002" + std::string(1000, ' '));

  // A CR that ends one buffer and the LF that starts the next.
  std::string split(RecordFile::kBufferSize - 1, 'y');
  r = records_of(split + "\r\nzz\n", 4);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1], "zz  ");
}

TEST(RecordFile, LineFactsForCheckers) {
  TempDir dir;
  RecordFile file(dir.write("f.dat", "1001\n\n1234567\r\n"), 4);
  file.open();
  std::vector<std::pair<std::size_t, std::size_t>> facts;
  while (file.read_next() == ReadOutcome::kRecord)
    facts.emplace_back(file.line_number(), file.line_length());
  file.close();
  EXPECT_EQ(facts, (std::vector<std::pair<std::size_t, std::size_t>>{
                       {1, 4}, {2, 0}, {3, 7}}));
}

TEST(RecordFile, EveryOpenReadsAfresh) {
  TempDir dir;
  std::string path = dir.write("f.dat", "1001\n");
  RecordFile file(path, 4);
  file.open();
  ASSERT_EQ(file.read_next(), ReadOutcome::kRecord);
  file.close();
  dir.write("f.dat", "2002\n");
  file.open();
  ASSERT_EQ(file.read_next(), ReadOutcome::kRecord);
  EXPECT_EQ(std::string(file.record(), 4), "2002");
  EXPECT_EQ(file.read_next(), ReadOutcome::kEndOfFile);
  file.close();
}

TEST(RecordFile, ReadNextIntoKeepsTheAreaAtEndOfFile) {
  TempDir dir;
  RecordFile file(dir.write("f.dat", "7\n"), 4);
  char area[8];
  file.open();
  ASSERT_EQ(file.read_next_into(area), ReadOutcome::kRecord);
  EXPECT_EQ(std::string(area, 8), "7       ");
  EXPECT_EQ(file.read_next_into(area), ReadOutcome::kEndOfFile);
  EXPECT_EQ(std::string(area, 8), "7       ");
  file.close();
}

std::string open_failure(const std::string& path) {
  RecordFile file(path, 4);
  try {
    file.open();
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.status(), 1);
    return stop.report();
  }
  file.close();
  return "opened";
}

TEST(RecordFile, OpenFailuresNameTheFileAndTheReason) {
  TempDir dir;
  EXPECT_EQ(open_failure(dir.path() + "/missing.dat"),
            dir.path() + "/missing.dat: cannot open: No such file or directory");
  EXPECT_EQ(open_failure(dir.path() + "/nodir/story.dat"),
            dir.path() + "/nodir/story.dat: cannot open: No such file or directory");
  ::mkdir((dir.path() + "/story.dat").c_str(), 0755);
  EXPECT_EQ(open_failure(dir.path() + "/story.dat"),
            dir.path() + "/story.dat: cannot open: Is a directory");
  EXPECT_EQ(open_failure("/dev/null"),
            "/dev/null: cannot open: not a regular file");
}

TEST(RecordFile, UnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files without permission";
  TempDir dir;
  std::string path = dir.write("secret.dat", "1001\n");
  ::chmod(path.c_str(), 0);
  EXPECT_EQ(open_failure(path), path + ": cannot open: Permission denied");
}

}  // namespace
}  // namespace kep
