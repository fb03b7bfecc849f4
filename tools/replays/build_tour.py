#!/usr/bin/env python3
"""Builds data/replays/tour.keys: a run from the title that enters every
stage at least once. On each home stage it walks to each door of its own
world, goes in, and leaves at once with Esc (back to the title, and Enter
starts the run again on the same home stage); the door that moves the story
on is cleared with its recorded solution. On the last home stage it also
takes the gallery warp and one door back to the first world.

    tools/replays/build_tour.py BUILD_DIR

Each walk is found with the headless runner started on the home stage
itself (a run always starts on the home stage's start point, so the walk is
the same inside the tour): hold the direction N frames, settle, press Up."""
import json
import os
import re
import subprocess
import sys
import tempfile

from build_campaign import first_true

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAIN = {0: 11, 1: 21, 2: 31, 3: 42}
TITLE = "# the title: wait, then Enter starts (or resumes) the run\n40 -\n3 Enter\n90 -\n"
RESULT = "# the result screen: every score, then Enter\n260 -\n3 Enter\n"
LEAVE = "# inside: look, then Esc back to the title\n40 -\n3 Esc\n"
BACK_DOOR = 10  # the door of the gallery the tour takes on the last home stage


def hub_source(home):
    text = open(os.path.join(ROOT, "data/stages/home%d.stage" % home)).read()
    grid = text.split("\ngrid\n", 1)[1].split("\nend", 1)[0].split("\n")
    return text, grid


def cell_of(home, kind_pattern):
    """(row, col) of the one cell whose label is defined by kind_pattern."""
    text, grid = hub_source(home)
    label = re.search(r"^(\S)\s*=\s*%s" % kind_pattern, text, re.M).group(1)
    for r, row in enumerate(grid):
        if label in row:
            return r, row.index(label)
    raise SystemExit("no %s in home stage %d" % (kind_pattern, home))


def play(build, keys, stage=None):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "k.keys")
        open(path, "w").write(keys)
        args = [os.path.join(build, "puxten-replay"), "--data", os.path.join(build, "data"),
                "--input", path, "--state", os.path.join(tmp, "s.json")]
        if stage is not None:
            args += ["--stage", str(stage)]
        subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
        return json.load(open(os.path.join(tmp, "s.json")))


def walk(build, home, prefix, col, check, what, after=14):
    """From the state prefix leaves on home stage `home`: hold Right the
    fewest frames after which Up does what check() wants (the first count
    that brings the player to the column, found by halving, and a few more)."""
    def keys(n, up):
        return "20 -\n%s12 -\n" % ("%d Right\n" % n if n else "") + (
            "1 Up\n%d -\n" % after if up else "")

    def reached(n):
        return play(build, prefix + keys(n, False), home)["playerX"] + 6.25 >= col * 25

    low = first_true(reached, 400)
    for n in range(max(0, low - 2), low + 8):
        if check(play(build, prefix + keys(n, True) + "1 -\n", home)):
            return "# walk to %s and press Up\n" % what + keys(n, True)
    raise SystemExit("cannot reach %s on home stage %d" % (what, home))


def visit_door(build, home, target, prefix=""):
    _, col = cell_of(home, r"door\s*->\s*%d\b" % target)
    ok = lambda s: s["currentStage"] == target and s["scene"] == 4
    return walk(build, home, prefix, col, ok, "the door of stage %d" % target)


def gallery_visit(build, home, target):
    _, wcol = cell_of(home, r"warp")
    up = walk(build, home, "", wcol, lambda s: s["playerY"] < 300, "the gallery warp", after=60)
    return up + visit_door(build, home, target, up)


def main():
    build = sys.argv[1]
    keys = ("# A tour: every stage entered at least once, from the title. Made by\n"
            "# tools/replays/build_tour.py.\n") + TITLE
    for home in range(4):
        text, _ = hub_source(home)
        doors = [int(t) for t in re.findall(r"^\S\s*=\s*door\s*->\s*(\d+)", text, re.M)]
        own = [t for t in doors if t // 10 == home + 1 and t != MAIN[home]]
        for target in own:
            keys += "# home stage %d: stage %d\n" % (home, target) + visit_door(build, home, target)
            keys += LEAVE + TITLE
        if home == 3:
            keys += "# the gallery: back to stage %d\n" % BACK_DOOR + gallery_visit(build, home, BACK_DOOR)
            keys += LEAVE + TITLE
            keys += "# home stage 3: into the finale, and out\n" + visit_door(build, home, MAIN[home])
            keys += LEAVE
            break
        keys += "# home stage %d: stage %d, cleared\n" % (home, MAIN[home]) + visit_door(build, home, MAIN[home])
        solution = open(os.path.join(ROOT, "data/replays/stage%d.keys" % MAIN[home])).read()
        keys += solution.rstrip("\n") + "\n" + RESULT
        # The return from the result screen keeps the player's running speed;
        # through the title, every walk starts as a fresh run, as found.
        keys += "# to the title and back: a fresh run on the next home stage\n20 -\n3 Esc\n" + TITLE
        state = play(build, keys)
        if (state["scene"], state["homeStage"]) != (4, home + 1):
            raise SystemExit("stage %d is not cleared inside the tour" % MAIN[home])
    state = play(build, keys)
    if state["scene"] not in (1, 2):
        raise SystemExit("the tour does not end on the title: scene %d" % state["scene"])
    open(os.path.join(ROOT, "data/replays/tour.keys"), "w").write(keys)
    print("tour.keys: %d lines, %d pictures" % (keys.count("\n"), sum(
        int(l.split()[0]) for l in keys.splitlines() if l and not l.startswith("#"))))


if __name__ == "__main__":
    main()
