// memory_bench: peak resident memory of the real game through one whole
// scripted episode, for each story given.
//
//   memory_bench GAME TURNS EPISODE DIR...
//
// For each DIR (a directory holding data/), it plans an episode from the
// files: TURNS page turns with choices drawn at random among those that
// neither end the episode nor are empty, then the shortest way to a choice
// that ends it. It starts GAME in DIR in an 80x40 pseudo-terminal, waits for
// the first screen, types the title key, 1 (new game), the episode, the page
// choices and 3 (quit), each with Enter, and waits for the exit. It prints
// the game's peak resident set (ru_maxrss of the game, which includes the
// shells it waited for; those are far smaller) and, as a cross-check, the
// last VmHWM read from /proc while the game ran, then a comparison.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/record_file.h"
#include "data/story_files.h"
#include "frame/run_stop.h"

namespace {

struct Slot {
  char number;
  std::string destination;
};

// The pages of a story as the page loop meets them from the first record of
// the page index: id -> the slots of the first index record with that id.
struct Story {
  std::string start_id;
  std::map<std::string, std::vector<Slot>> pages;
};

Story read_story(const std::string& data_dir, char episode) {
  using kep::ReadOutcome;
  Story story;
  kep::StoryFiles files(data_dir);
  auto each = [](kep::RecordFile& file, auto act) {
    file.open();
    while (file.read_next() == ReadOutcome::kRecord)
      act(std::string(file.record(), file.record_length()));
    file.close();
  };
  each(files.fd_story_start_file, [&](const std::string& r) {
    if (r[0] == episode) story.start_id = r.substr(1, 3);
  });
  std::map<std::string, std::string> key_of;  // id -> episode digit and id
  each(files.fd_story_file,
       [&](const std::string& r) { key_of.emplace(r.substr(1, 3), r); });
  std::map<std::string, std::map<char, std::string>> slots;  // last wins
  each(files.fd_story_choice_file, [&](const std::string& r) {
    slots[r.substr(0, 4)][r[7]] = r.substr(4, 3);
  });
  for (const auto& [id, key] : key_of) {
    std::vector<Slot>& page = story.pages[id];
    for (const auto& [number, destination] : slots[key])
      if (number >= '1' && number <= '4' && destination != "998")
        page.push_back({number, destination});
  }
  return story;
}

// The page choices of one episode; empty when no end can be reached.
std::string plan(const Story& story, int turns, unsigned seed) {
  std::string choices;
  std::string at = story.start_id;
  auto ends = [&](const std::string& id) -> char {
    auto page = story.pages.find(id);
    if (page == story.pages.end()) return 0;
    for (const Slot& s : page->second)
      if (s.destination == "999") return s.number;
    return 0;
  };
  std::srand(seed);
  for (int i = 0; i < turns; ++i) {
    auto page = story.pages.find(at);
    if (page == story.pages.end()) return "";
    std::vector<const Slot*> on;
    for (const Slot& s : page->second)
      if (s.destination != "999" && story.pages.count(s.destination))
        on.push_back(&s);
    if (on.empty()) break;
    const Slot* s = on[static_cast<std::size_t>(std::rand()) % on.size()];
    choices += s->number;
    at = s->destination;
  }
  // The shortest way on to an ending.
  std::map<std::string, std::pair<std::string, char>> came_from;
  std::deque<std::string> queue{at};
  came_from[at] = {"", 0};
  while (!queue.empty()) {
    std::string id = queue.front();
    queue.pop_front();
    if (char number = ends(id)) {
      std::string tail(1, number);
      for (std::string p = id; !came_from[p].first.empty();
           p = came_from[p].first)
        tail.insert(tail.begin(), came_from[p].second);
      return choices + tail;
    }
    for (const Slot& s : story.pages.at(id))
      if (story.pages.count(s.destination) && !came_from.count(s.destination)) {
        came_from[s.destination] = {id, s.number};
        queue.push_back(s.destination);
      }
  }
  return "";
}

long vm_hwm_kb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

struct Result {
  bool ok = false;
  int status = -1;
  long maxrss_kb = 0;
  long hwm_kb = 0;
  int pages = 0;
  std::string report;
};

Result play(const std::string& game, const std::string& dir,
            const std::string& keys) {
  Result result;
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;
  winsize size{};
  size.ws_row = 40;
  size.ws_col = 80;
  int master = -1;
  pid_t pid = forkpty(&master, nullptr, nullptr, &size);
  if (pid < 0) return result;
  if (pid == 0) {
    // The screen goes to the terminal (/dev/tty); the trace and the report
    // to the pipes.
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (chdir(dir.c_str()) != 0) _exit(126);
    setenv("TERM", "xterm", 1);
    execl(game.c_str(), "kep", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  fcntl(master, F_SETFL, O_NONBLOCK);
  fcntl(out[0], F_SETFL, O_NONBLOCK);
  fcntl(err[0], F_SETFL, O_NONBLOCK);

  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::minutes(5);
  std::size_t typed = 0;
  bool screen_seen = false;
  std::string trace_tail;
  char buffer[65536];
  for (;;) {
    rusage usage{};
    int status = 0;
    pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) {
      result.ok = WIFEXITED(status);
      result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      result.maxrss_kb = usage.ru_maxrss;
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      result.report = "timed out";
      break;
    }
    long hwm = vm_hwm_kb(pid);
    if (hwm > result.hwm_kb) result.hwm_kb = hwm;
    // Keys go in once the first screen is out: by then the terminal is in
    // the game's input mode, and typing ahead is kept.
    short want_out = screen_seen && typed < keys.size() ? POLLOUT : 0;
    pollfd fds[3] = {{master, static_cast<short>(POLLIN | want_out), 0},
                     {out[0], POLLIN, 0},
                     {err[0], POLLIN, 0}};
    poll(fds, 3, 20);
    if (fds[0].revents & POLLIN) {
      if (read(master, buffer, sizeof buffer) > 0) screen_seen = true;
    }
    if ((fds[0].revents & POLLOUT) && typed < keys.size()) {
      ssize_t n = write(master, keys.data() + typed, keys.size() - typed);
      if (n > 0) typed += static_cast<std::size_t>(n);
    }
    if (fds[1].revents & POLLIN) {
      ssize_t n = read(out[0], buffer, sizeof buffer);
      if (n > 0) {
        trace_tail.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t at;
             (at = trace_tail.find('\n')) != std::string::npos;) {
          if (trace_tail.compare(0, 21, "Displaying story page") == 0)
            ++result.pages;
          trace_tail.erase(0, at + 1);
        }
      }
    }
    if (fds[2].revents & POLLIN) {
      ssize_t n = read(err[0], buffer, sizeof buffer);
      if (n > 0) result.report.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(master);
  close(out[0]);
  close(err[0]);
  while (!result.report.empty() && result.report.back() == '\n')
    result.report.pop_back();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s GAME TURNS EPISODE DIR...\n", argv[0]);
    return 2;
  }
  char resolved[PATH_MAX];
  if (realpath(argv[1], resolved) == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  const std::string game = resolved;
  const int turns = std::atoi(argv[2]);
  const char episode = argv[3][0];
  std::vector<long> peaks;
  int failures = 0;
  for (int i = 4; i < argc; ++i) {
    const std::string dir = argv[i];
    std::string choices;
    try {
      choices = plan(read_story(dir + "/data", episode), turns, 7);
    } catch (const kep::RunStop& stop) {
      std::fprintf(stderr, "%s\n", stop.report().c_str());
    }
    if (choices.empty()) {
      std::printf("  %s: no episode %c to play\n", dir.c_str(), episode);
      ++failures;
      continue;
    }
    std::string keys = "x\r1\r";
    keys += episode;
    keys += '\r';
    for (char c : choices) {
      keys += c;
      keys += '\r';
    }
    keys += "3\r";
    Result r = play(game, dir, keys);
    bool played =
        r.ok && r.status == 0 && r.pages == static_cast<int>(choices.size());
    std::printf(
        "  %s: %d pages shown of %zu planned, exit status %d: peak RSS %.1f MB "
        "(VmHWM %.1f MB)%s%s\n",
        dir.c_str(), r.pages, choices.size(), r.status, r.maxrss_kb / 1024.0,
        r.hwm_kb / 1024.0, r.report.empty() ? "" : "; kep: ", r.report.c_str());
    if (!played) {
      ++failures;
      continue;
    }
    peaks.push_back(r.maxrss_kb);
  }
  if (peaks.size() >= 2) {
    long low = peaks[0], high = peaks[0];
    for (long p : peaks) {
      low = p < low ? p : low;
      high = p > high ? p : high;
    }
    std::printf(
        "  peak RSS %.1f to %.1f MB: a spread of %ld kB, %.1f%% (goal: the "
        "same "
        "and at most 8 MB: %s)\n",
        low / 1024.0, high / 1024.0, high - low, 100.0 * (high - low) / low,
        high <= 8 * 1024 ? "met" : "NOT met");
  }
  return failures == 0 ? 0 : 1;
}
