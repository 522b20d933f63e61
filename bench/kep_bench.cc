// Kep's cost against its two floors: the bytes it must read and the shells it
// must start. Every page re-reads the page text file up to the page's record
// and the whole page choice file, and every trace step starts a shell; these
// benchmarks set each cost beside its floor, measured in the same run:
//
//   Scan        a page's text (its record last in the file) and its choices,
//               against a plain read() loop over the same bytes, and against
//               that loop plus the least a reader must add (finding each line
//               end, copying each record once)
//   PageTurns   1000 page turns through the engine, fake screen and shell
//   TraceStep   050-DEBUG-MESSAGE with the real shell, against a bare
//               std::system("echo x"), the two in turns
//
// The story is the largest the files allow (bench/largest_story.h), written
// once into a temporary directory. After the runs a summary gives the ratios
// and the goals. Default flags: 5 repetitions, interleaved, medians used.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "bench/largest_story.h"
#include "data/record_file.h"
#include "frame/game.h"
#include "frame/run_stop.h"
#include "frame/shell.h"
#include "screen/fake_screen_layer.h"
#include "state/copy_rules.h"
#include "testing/temp_dir.h"

namespace kep::bench {
namespace {

constexpr int kTurns = 1000;

struct Story {
  TempDir dir;
  std::string data_dir;
  LargestStory story;
  std::string text_path;
  std::string choice_path;
  std::int64_t scan_bytes = 0;  // the whole text file and choice file

  Story() : data_dir(dir.path() + "/data") {
    story = write_largest_story(data_dir);
    text_path = data_path(data_dir, kFdStoryTextFile);
    choice_path = data_path(data_dir, kFdStoryChoiceFile);
    struct stat st;
    for (const std::string& p : {text_path, choice_path})
      if (::stat(p.c_str(), &st) == 0) scan_bytes += st.st_size;
  }
};

const Story& story() {
  static Story s;
  return s;
}

// Standard output goes to /dev/null while the trace benchmarks run, so the
// shells' echo lines stay out of the report; restored on scope exit.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = ::dup(1);
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(null, 1);
    ::close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    ::dup2(saved_, 1);
    ::close(saved_);
  }

 private:
  int saved_;
};

void BM_Scan(benchmark::State& state) {
  const Story& s = story();
  FakeScreenLayer screen;
  FakeShell shell;
  Game game(screen, shell, s.data_dir);
  game.ws.ws_story.ws_story_episode[0] = kEpisode;
  move_text(game.ws.ws_story.ws_story_id, s.story.last_text_page);
  for (auto _ : state) {
    game.p400_read_story_text();
    game.p450_read_story_choices();
    shell.commands_ran_.clear();
  }
  if (std::string(game.ws.ws_story_text.ws_story_text_id, 3) !=
          s.story.last_text_page ||
      digits_value(game.ws.ws_story.slot(4).ws_choice_destination) != 999)
    state.SkipWithError("the page was not loaded");
  state.SetBytesProcessed(state.iterations() * s.scan_bytes);
}
BENCHMARK(BM_Scan)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_ReadLoop(benchmark::State& state) {
  const Story& s = story();
  std::unique_ptr<char[]> buffer(new char[RecordFile::kBufferSize]);
  for (auto _ : state) {
    for (const std::string* path : {&s.text_path, &s.choice_path}) {
      int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
      while (::read(fd, buffer.get(), RecordFile::kBufferSize) > 0)
        benchmark::DoNotOptimize(buffer[0]);
      ::close(fd);
    }
  }
  state.SetBytesProcessed(state.iterations() * s.scan_bytes);
}
BENCHMARK(BM_ReadLoop)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The least any reader of these files must do beyond the read() loop: find
// every line end and (with `copy`) move each record once into a work area of
// its length. Sets the scan beside what bounds it.
void lines_floor(benchmark::State& state, bool copy) {
  const Story& s = story();
  std::unique_ptr<char[]> buffer(new char[RecordFile::kBufferSize]);
  static char area[RecordFile::kMaxRecordLength];
  const std::pair<const std::string*, std::size_t> files[] = {
      {&s.text_path, kFdStoryTextFile.record_length},
      {&s.choice_path, kFdStoryChoiceFile.record_length}};
  for (auto _ : state) {
    for (const auto& [path, length] : files) {
      int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
      ssize_t n;
      while ((n = ::read(fd, buffer.get(), RecordFile::kBufferSize)) > 0) {
        const char* at = buffer.get();
        const char* end = at + n;
        while (at < end) {
          const char* lf =
              static_cast<const char*>(std::memchr(at, '\n', end - at));
          std::size_t line = static_cast<std::size_t>((lf ? lf : end) - at);
          if (copy) move_text(area, length, at, line < length ? line : length);
          benchmark::DoNotOptimize(area[0]);
          at = lf ? lf + 1 : end;
        }
      }
      ::close(fd);
    }
  }
  state.SetBytesProcessed(state.iterations() * s.scan_bytes);
}
void BM_FindLines(benchmark::State& state) { lines_floor(state, false); }
void BM_FindAndCopyLines(benchmark::State& state) { lines_floor(state, true); }
BENCHMARK(BM_FindLines)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindAndCopyLines)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_PageTurns(benchmark::State& state) {
  const Story& s = story();
  const std::string entries = largest_story_entries(kTurns);
  std::size_t passes = 0, pages = 0;
  for (auto _ : state) {
    FakeScreenLayer screen(entries);
    FakeShell shell;
    Game game(screen, shell, s.data_dir);
    int status = -1;
    try {
      game.p000_main_procedure();
    } catch (const RunStop& stop) {
      status = stop.status();
    }
    if (status != 0) state.SkipWithError("the run did not end by quitting");
    pages = screen.story_screens_.size();
    passes = static_cast<std::size_t>(
        std::count_if(shell.commands_ran_.begin(), shell.commands_ran_.end(),
                      [](const std::string& c) {
                        return c.compare(0, 18, "echo Running story") == 0;
                      }));
  }
  if (pages != kTurns + 1) state.SkipWithError("not every turn showed a page");
  // Each pass after the first began because a turn wrapped around the file.
  state.counters["wrapped"] = static_cast<double>(passes - 1) / kTurns;
}
BENCHMARK(BM_PageTurns)->Unit(benchmark::kMillisecond);

// The trace step and a bare std::system("echo x") in turns, each call timed on
// its own and the order swapped every pass, so that a change in the machine's
// load falls on both alike.
void BM_TraceStep(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  FakeScreenLayer screen;
  RealShell shell;
  Game game(screen, shell, story().data_dir);
  move_text(game.ws.ws_debug_message, "Found choice");
  QuietStdout quiet;
  Clock::duration trace{}, echo{};
  int status = 0;
  bool trace_first = true;
  for (auto _ : state) {
    for (int turn = 0; turn < 2; ++turn) {
      Clock::time_point start = Clock::now();
      if ((turn == 0) == trace_first) {
        game.p050_debug_message();
        trace += Clock::now() - start;
      } else {
        status |= std::system("echo x");
        echo += Clock::now() - start;
      }
    }
    trace_first = !trace_first;
  }
  if (game.ws.return_code != 0 || status != 0)
    state.SkipWithError("a shell command failed");
  using Micros = std::chrono::duration<double, std::micro>;
  const double n = static_cast<double>(state.iterations());
  state.counters["trace_us"] = Micros(trace).count() / n;
  state.counters["echo_us"] = Micros(echo).count() / n;
  state.counters["ratio"] = Micros(trace).count() / Micros(echo).count();
}
BENCHMARK(BM_TraceStep)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The console report, and per benchmark the median time per iteration and
// the counters of each repetition, kept for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  explicit SummaryReporter(bool color)
      : ConsoleReporter(color ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      Times& t = times_[run.run_name.function_name];
      double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
      Pair time{run.GetAdjustedRealTime() / unit,
                run.GetAdjustedCPUTime() / unit};
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") t.median = time;
      } else {
        t.runs.push_back(time);
        for (const auto& [name, counter] : run.counters)
          t.counters[name].push_back(counter.value);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintSummary(std::int64_t scan_bytes) {
    std::printf("\nSummary (medians)\n");
    double scan = median(&Pair::real, "BM_Scan");
    double loop = median(&Pair::real, "BM_ReadLoop");
    if (scan > 0 && loop > 0)
      std::printf(
          "  scan        %7.2f GB/s, read() loop %7.2f GB/s: ratio %.2f "
          "(goal >= 0.80: %s)\n",
          scan_bytes / scan / 1e9, scan_bytes / loop / 1e9, loop / scan,
          verdict(loop / scan >= 0.80));
    double find = median(&Pair::real, "BM_FindLines");
    double copy = median(&Pair::real, "BM_FindAndCopyLines");
    if (find > 0 && copy > 0 && loop > 0)
      std::printf(
          "  what bounds the scan: read() + finding each line end %.2f of the "
          "read() loop; + one copy of each record %.2f\n",
          loop / find, loop / copy);
    double turns = median(&Pair::cpu, "BM_PageTurns");
    if (turns > 0)
      std::printf(
          "  page turn   %7.3f ms CPU per turn, %.0f%% of turns wrapped "
          "(goal < 1 ms: %s)\n",
          turns / kTurns * 1e3, counter("BM_PageTurns", "wrapped") * 100,
          verdict(turns / kTurns < 1e-3));
    double ratio = counter("BM_TraceStep", "ratio");
    if (ratio > 0)
      std::printf(
          "  trace step  %7.1f us, std::system(\"echo x\") %7.1f us: ratio "
          "%.3f (goal <= 1.05: %s)\n",
          counter("BM_TraceStep", "trace_us"),
          counter("BM_TraceStep", "echo_us"), ratio, verdict(ratio <= 1.05));
  }

 private:
  struct Pair {
    double real = 0, cpu = 0;  // seconds per iteration
  };
  struct Times {
    Pair median;
    std::vector<Pair> runs;
    std::map<std::string, std::vector<double>> counters;  // per repetition
  };

  static const char* verdict(bool met) { return met ? "met" : "NOT met"; }

  static double median_of(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }

  // The aggregate median when the library made one, else our own.
  double median(double Pair::*time, const std::string& name) {
    auto it = times_.find(name);
    if (it == times_.end()) return 0;
    const Times& t = it->second;
    if (t.median.*time > 0) return t.median.*time;
    std::vector<double> values;
    for (const Pair& p : t.runs) values.push_back(p.*time);
    return median_of(values);
  }

  double counter(const std::string& name, const std::string& counter) {
    auto it = times_.find(name);
    if (it == times_.end()) return 0;
    auto c = it->second.counters.find(counter);
    return c == it->second.counters.end() ? 0 : median_of(c->second);
  }

  std::map<std::string, Times> times_;
};

}  // namespace
}  // namespace kep::bench

int main(int argc, char** argv) {
  // Defaults first, so flags given on the command line override them.
  std::vector<char*> args{argv[0]};
  char repetitions[] = "--benchmark_repetitions=5";
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.push_back(repetitions);
  args.push_back(interleave);
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  kep::bench::SummaryReporter reporter(::isatty(1));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary(kep::bench::story().scan_bytes);
  benchmark::Shutdown();
  return 0;
}
