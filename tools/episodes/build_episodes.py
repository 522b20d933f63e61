#!/usr/bin/env python3
"""Builds Kep's four story data files from the episode sources beside it.

    python3 tools/episodes/build_episodes.py           write data/*.dat
    python3 tools/episodes/build_episodes.py --check   fail if data/ differs
    python3 tools/episodes/build_episodes.py --show 104   preview one page

Episode source format (episodeN.txt, read in order 1..4):

    # a comment line
    episode 1 Odd Jests          episode digit and menu title
    start 100                    the episode's first page

    page 100                     a page; pages are written in source order
    Text lines. Lines of one paragraph are joined with single spaces.

    A blank line starts a new paragraph, with an empty screen line between.
    | A line starting with a bar starts a new screen line, no gap.
    |   Spaces after the bar's own space indent every screen line of it.
    A tilde is a space the layout never breaks a line at: Mrs.~Odd.
    -> 101 Open the door.         a choice: destination, then its text;
    -> 999 The end.               choices take slots 1, 2, 3, 4 in order and
                                  are shown as "1) Open the door."

How the screen shows a page: the text starts at line 7, column 19, and runs on
to column 80 before carrying on at column 1 of the next line, with no word
wrapping. So the first screen line holds text positions 1-62, the next ones
80 each, the thirteenth the last 58 (1000 in all). The layout here breaks
lines between words and pads with spaces, never letting a non-space sit on
both sides of a line boundary. Choices start at column 4, so a choice text
holds 77 characters.

Every rule below is checked while building; any breach stops the build with
a message naming the page.
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DATA = os.path.join(ROOT, "data")

LINE_WIDTHS = [62] + [80] * 11 + [58]  # 1000 text positions in all
TEXT_LENGTH = 1000
CHOICE_LENGTH = 77
END_EPISODE = "999"
EMPTY_SLOT = "998"
LOST_MARK = "GAME OVER"
MIN_PAGES = 15


class BuildError(Exception):
    pass


def fail(where, message):
    raise BuildError(f"{where}: {message}")


def check_ascii(where, text):
    for ch in text:
        if not " " <= ch <= "~":
            fail(where, f"character {ch!r} is not printable ASCII")


# --- reading the sources ---------------------------------------------------

class Page:
    def __init__(self, episode, page_id, where):
        self.episode = episode
        self.id = page_id
        self.where = where
        self.paragraphs = []  # list of paragraphs; a paragraph is a list of lines
        self.choices = []  # (destination, text) in slot order
        self.text = None  # the laid-out 1000-position text

    def won(self):
        return LOST_MARK not in self.text


class Episode:
    def __init__(self, digit, title):
        self.digit = digit
        self.title = title
        self.start = None
        self.pages = []


def read_episode(path):
    episode = None
    page = None
    paragraph = None  # current paragraph: list of screen lines (strings)
    with open(path, encoding="ascii") as source:
        for number, raw in enumerate(source, 1):
            where = f"{os.path.basename(path)}:{number}"
            line = raw.rstrip("\n")
            check_ascii(where, line)
            stripped = line.strip()
            if stripped.startswith("#"):
                continue
            if episode is None:
                if not stripped:
                    continue
                m = re.fullmatch(r"episode ([1-4]) (.+)", stripped)
                if not m:
                    fail(where, "expected 'episode N Title'")
                episode = Episode(m.group(1), m.group(2))
                continue
            if episode.start is None:
                if not stripped:
                    continue
                m = re.fullmatch(r"start (\d{3})", stripped)
                if not m:
                    fail(where, "expected 'start NNN'")
                episode.start = m.group(1)
                continue
            m = re.fullmatch(r"page (\d{3})", stripped)
            if m:
                page = Page(episode.digit, m.group(1), where)
                episode.pages.append(page)
                paragraph = None
                continue
            if page is None:
                if stripped:
                    fail(where, "text before the first page")
                continue
            m = re.fullmatch(r"->\s*(\d{3})\s+(.+)", stripped)
            if m:
                page.choices.append((m.group(1), m.group(2).strip(), where))
                continue
            if stripped.startswith("->"):
                fail(where, "expected '-> NNN choice text'")
            if page.choices and stripped:
                fail(where, "page text after the choices")
            if not stripped:
                paragraph = None
                continue
            if stripped.startswith("|"):
                if paragraph is None:
                    paragraph = []
                    page.paragraphs.append(paragraph)
                rest = stripped[1:]
                if rest.startswith(" "):
                    rest = rest[1:]  # the space after the bar
                paragraph.append(rest)  # further spaces indent the line
                continue
            if paragraph is None:
                paragraph = [stripped]
                page.paragraphs.append(paragraph)
            else:
                paragraph[-1] = paragraph[-1] + " " + stripped
    if episode is None or episode.start is None:
        fail(path, "no episode or start line")
    return episode


# --- laying out a page -----------------------------------------------------

def wrap_words(words, width):
    """Greedy break of words into lines of at most width characters."""
    lines, current = [], ""
    for word in words:
        if not current:
            current = word
        elif len(current) + 1 + len(word) <= width:
            current += " " + word
        else:
            lines.append(current)
            current = word
    if current:
        lines.append(current)
    return lines


def lay_out(page):
    """Fills the 13 screen lines; returns the 1000-position text."""
    screen = []  # finished screen lines

    def room(index):
        # A line may not be filled to its last column unless it is the last
        # line of the page: the next line would start with a letter and the
        # two would read as one split word.
        if index >= len(LINE_WIDTHS):
            fail(page.where, f"page {page.id} text does not fit in 13 lines")
        width = LINE_WIDTHS[index]
        return width if index == len(LINE_WIDTHS) - 1 else width - 1

    for number, paragraph in enumerate(page.paragraphs):
        if number > 0:
            screen.append("")  # gap between paragraphs
        for part in paragraph:
            indent = " " * (len(part) - len(part.lstrip()))
            words = part.split()
            if not words:
                room(len(screen))
                screen.append("")  # a bar on its own: an empty screen line
            while words:
                width = room(len(screen)) - len(indent)
                line = wrap_words(words, width)[0]
                if len(line) > width:
                    fail(page.where, f"word {line!r} is too long for a line")
                screen.append((indent + line).replace("~", " "))
                words = words[len(line.split()):]
    if len(screen) > len(LINE_WIDTHS):
        over = len(screen) - len(LINE_WIDTHS)
        fail(page.where, f"page {page.id} text is {over} screen line(s) too long")
    text = "".join(line.ljust(width) for line, width in zip(screen, LINE_WIDTHS))
    text = text.ljust(TEXT_LENGTH)
    check_layout(page.where, text)
    return text


def boundaries():
    position = 0
    for width in LINE_WIDTHS[:-1]:
        position += width
        yield position  # text[position-1] ends a line, text[position] starts one


def check_layout(where, text):
    if len(text) != TEXT_LENGTH:
        fail(where, f"laid-out text is {len(text)} positions, not {TEXT_LENGTH}")
    for b in boundaries():
        if text[b - 1] != " " and text[b] != " ":
            fail(where, f"a word is split at text position {b}|{b + 1}")


def show(page):
    """The page as the screen shows it: first line from column 19."""
    lines, start = [], 0
    for i, width in enumerate(LINE_WIDTHS):
        chunk = page.text[start:start + width].rstrip()
        lines.append((" " * 18 if i == 0 else "") + chunk)
        start += width
    while lines and not lines[-1]:
        lines.pop()
    out = "\n".join(lines) + "\n\n"
    for slot, (dest, text, _) in enumerate(page.choices, 1):
        out += f"   {slot}) {text}    [-> {dest}]\n"
    return out


# --- checking an episode ---------------------------------------------------

def choice_text(slot, text):
    return f"{slot}) {text}".replace("~", " ")


def check_episode(episode, order):
    """order: page id -> position in the page index file (all episodes)."""
    title = f"episode {episode.digit}"
    pages = {p.id: p for p in episode.pages}
    if len(pages) < MIN_PAGES:
        fail(title, f"only {len(pages)} pages; at least {MIN_PAGES} wanted")
    if episode.start not in pages:
        fail(title, f"start page {episode.start} is not a page of the episode")
    slots_used = set()
    wraps = 0
    for page in episode.pages:
        if not 1 <= len(page.choices) <= 4:
            fail(page.where, f"page {page.id} has {len(page.choices)} choices")
        for slot, (dest, text, where) in enumerate(page.choices, 1):
            slots_used.add(slot)
            full = choice_text(slot, text)
            if len(full) > CHOICE_LENGTH:
                fail(where, f"choice is {len(full)} characters, over {CHOICE_LENGTH}")
            if dest == EMPTY_SLOT or dest == "000":
                fail(where, f"destination {dest} is not allowed")
            if dest != END_EPISODE and dest not in pages:
                fail(where, f"destination {dest} is not a page of this episode")
            if dest != END_EPISODE and order[dest] <= order[page.id]:
                wraps += 1
        ends = [d for d, _, _ in page.choices if d == END_EPISODE]
        if LOST_MARK in page.text and len(ends) != len(page.choices):
            fail(page.where, f"page {page.id} says {LOST_MARK} but goes on")
    if slots_used != {1, 2, 3, 4}:
        fail(title, "not every choice slot 1-4 is used")
    if wraps == 0:
        fail(title, "no choice leads back to a page stored earlier")

    # Every page reachable from the start...
    seen, todo = {episode.start}, [episode.start]
    while todo:
        for dest, _, _ in pages[todo.pop()].choices:
            if dest != END_EPISODE and dest not in seen:
                seen.add(dest)
                todo.append(dest)
    lost = sorted(set(pages) - seen)
    if lost:
        fail(title, f"pages never reached: {', '.join(lost)}")
    # ...and an ending reachable from every page.
    ending = {p.id for p in episode.pages
              if any(d == END_EPISODE for d, _, _ in p.choices)}
    finishing, grew = set(ending), True
    while grew:
        grew = False
        for page in episode.pages:
            if page.id not in finishing and any(
                    d in finishing for d, _, _ in page.choices):
                finishing.add(page.id)
                grew = True
    stuck = sorted(set(pages) - finishing)
    if stuck:
        fail(title, f"no ending can be reached from: {', '.join(stuck)}")
    won = [i for i in sorted(ending) if pages[i].won()]
    lost_ends = [i for i in sorted(ending) if not pages[i].won()]
    if len(won) < 2 or len(lost_ends) < 2:
        fail(title, f"endings won {won}, lost {lost_ends}: two of each wanted")
    return won, lost_ends


# --- writing the files -----------------------------------------------------

def build():
    episodes = []
    for digit in "1234":
        path = os.path.join(HERE, f"episode{digit}.txt")
        episode = read_episode(path)
        if episode.digit != digit:
            fail(path, f"says episode {episode.digit}")
        episodes.append(episode)

    order, seen = {}, {}
    for episode in episodes:
        for page in episode.pages:
            if not re.fullmatch(r"\d{3}", page.id) or page.id in ("000", "998", "999"):
                fail(page.where, f"page id {page.id} is not allowed")
            if page.id in seen:
                fail(page.where, f"page id {page.id} also used at {seen[page.id]}")
            seen[page.id] = page.where
            order[page.id] = len(order)
            page.text = lay_out(page)

    summary = []
    for episode in episodes:
        won, lost = check_episode(episode, order)
        summary.append((episode, won, lost))

    files = {
        "story-start.dat": [e.digit + e.start for e in episodes],
        "story.dat": [p.episode + p.id for e in episodes for p in e.pages],
        "story-text.dat": [(p.episode + p.id + p.text).rstrip()
                           for e in episodes for p in e.pages],
        "story-choice.dat": [
            (p.episode + p.id + dest + str(slot) + choice_text(slot, text)).rstrip()
            for e in episodes for p in e.pages
            for slot, (dest, text, _) in enumerate(p.choices, 1)],
    }
    lengths = {"story-start.dat": 4, "story.dat": 4,
               "story-text.dat": 1004, "story-choice.dat": 263}
    contents = {}
    for name, records in files.items():
        for record in records:
            if len(record) > lengths[name]:
                fail(name, f"record longer than {lengths[name]}: {record[:20]}")
            check_ascii(name, record)
        contents[name] = "".join(r + "\n" for r in records)
    return episodes, summary, contents


def main(argv):
    try:
        episodes, summary, contents = build()
    except BuildError as error:
        print(f"build_episodes: {error}", file=sys.stderr)
        return 1
    if len(argv) == 2 and argv[0] == "--show":
        for episode in episodes:
            for page in episode.pages:
                if page.id == argv[1]:
                    print(show(page))
                    return 0
        print(f"build_episodes: no page {argv[1]}", file=sys.stderr)
        return 1
    if argv == ["--check"]:
        stale = []
        for name, text in contents.items():
            path = os.path.join(DATA, name)
            try:
                with open(path, encoding="ascii", newline="") as f:
                    if f.read() != text:
                        stale.append(name)
            except FileNotFoundError:
                stale.append(name)
        if stale:
            print("build_episodes: out of date: " + ", ".join(stale), file=sys.stderr)
            return 1
        return 0
    if argv:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    os.makedirs(DATA, exist_ok=True)
    for name, text in contents.items():
        with open(os.path.join(DATA, name), "w", encoding="ascii", newline="\n") as f:
            f.write(text)
    for episode, won, lost in summary:
        print(f"episode {episode.digit} {episode.title}: {len(episode.pages)} pages,"
              f" won endings {' '.join(won)}, lost endings {' '.join(lost)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
