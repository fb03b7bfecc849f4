#!/usr/bin/env python3
"""Builds data/replays/campaign.keys: a whole game from the title to the
ending, made of the home-stage walks (found here by playing them) and the
recorded solutions of stages 11, 21, 31 and 42.

    tools/replays/build_campaign.py BUILD_DIR

Each walk to a stage door is searched for with the headless runner: hold
the direction for N frames, let the player come to rest, press Up. The
shortest N that takes the player through the right door is kept."""
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ROUTE = [(0, 11), (1, 21), (2, 31), (3, 42)]
TITLE = "# the title: wait, then Enter starts a new run on home stage 0\n40 -\n3 Enter\n90 -\n"
RESULT = "# the result screen: every score, then Enter\n260 -\n3 Enter\n"
ENDING = ("# the ending scrolls for 4315 steps of 10 ms; watch it to its end, then Esc\n"
          "4500 -\n3 Esc\n30 -\n")


def door_column(home, target):
    """Column of the door to `target` in the home stage's source."""
    text = open(os.path.join(ROOT, "data/stages/home%d.stage" % home)).read()
    label = re.search(r"^(\S)\s*=\s*door\s*->\s*%d\b" % target, text, re.M).group(1)
    grid = text.split("\ngrid\n", 1)[1].split("\nend", 1)[0].split("\n")
    for row in grid:
        if label in row:
            return row.index(label)
    raise SystemExit("no door to %d in home %d" % (target, home))


def play(build, keys):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "k.keys")
        open(path, "w").write(keys)
        subprocess.run([os.path.join(build, "puxten-replay"), "--data", os.path.join(build, "data"),
                        "--input", path, "--state", os.path.join(tmp, "s.json")],
                       check=True, stdout=subprocess.DEVNULL)
        return json.load(open(os.path.join(tmp, "s.json")))


def first_true(test, high):
    """The least n in 0 .. high for which test(n) holds, test being false
    below some n and true from it on (high when it never holds)."""
    low = 0
    while low < high:
        mid = (low + high) // 2
        if test(mid):
            high = mid
        else:
            low = mid + 1
    return low


def walk_keys(home, target, key, n):
    walk = "# home stage %d: walk to the door of stage %d and go in\n20 -\n" % (home, target)
    if n:
        walk += "%d %s\n" % (n, key)
    return walk + "12 -\n"


def walk_to_door(build, prefix, home, target):
    """The walk from wherever the player stands to the door, and in."""
    here = play(build, prefix + "20 -\n")
    col = door_column(home, target)
    right = here["playerX"] + 6.25 < col * 25
    key = "Right" if right else "Left"

    def reached(n):  # the point the door looks for has come to the door's cell
        x = play(build, prefix + walk_keys(home, target, key, n))["playerX"] + 6.25
        return x >= col * 25 if right else x < col * 25 + 25

    low = first_true(reached, 256)
    for n in range(low, low + 6):
        walk = walk_keys(home, target, key, n) + "1 Up\n14 -\n"
        state = play(build, prefix + walk + "1 -\n")
        if state["currentStage"] == target and state["scene"] == 4:
            return walk
    raise SystemExit("cannot walk to the door of stage %d in home %d" % (target, home))


def main():
    build = sys.argv[1]
    keys = "# A whole game: a new run clears stages 11, 21, 31 and 42 through their\n" \
           "# home stages and watches the ending. Made by tools/replays/build_campaign.py.\n"
    keys += TITLE
    for home, target in ROUTE:
        keys += walk_to_door(build, keys, home, target)
        solution = open(os.path.join(ROOT, "data/replays/stage%d.keys" % target)).read()
        keys += "# stage %d: its recorded solution\n" % target + solution.rstrip("\n") + "\n"
        state = play(build, keys)
        if state["scene"] != 10:
            raise SystemExit("stage %d is not cleared inside the campaign" % target)
        keys += RESULT
    keys += ENDING
    state = play(build, keys)
    if (state["scene"], state["homeStage"], state["currentStage"]) != (1, 3, 3):
        raise SystemExit("the campaign does not end on the title: %s" % state["scene"])
    open(os.path.join(ROOT, "data/replays/campaign.keys"), "w").write(keys)
    print("campaign.keys: %d lines" % keys.count("\n"))


if __name__ == "__main__":
    main()
