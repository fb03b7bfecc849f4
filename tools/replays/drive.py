#!/usr/bin/env python3
"""Plays a keys file on one stage with the headless runner and shows where
the player stands after each commented step, for writing solutions.

    tools/replays/drive.py BUILD_DIR STAGE KEYS [--shot] [--grid]

Prints, for each comment line of KEYS, the picture number, the scene and the
player's position (pixels and cell) when that part starts, then the state
at the end. --shot writes a picture at every comment to /tmp/drive-N.png."""
import json
import os
import subprocess
import sys
import tempfile


def steps_of(text):
    """(picture number, comment) for each comment line; the total length."""
    marks, n = [], 0
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("#"):
            marks.append((n + 1, line[1:].strip()))
        elif line:
            n += int(line.split()[0])
    return marks, n


def main():
    build, stage, keys = sys.argv[1], sys.argv[2], sys.argv[3]
    text = open(keys).read()
    marks, total = steps_of(text)
    with tempfile.TemporaryDirectory() as tmp:
        args = [os.path.join(build, "puxten-replay"), "--data", os.path.join(build, "data"),
                "--stage", stage, "--input", keys, "--state", tmp + "/s.json",
                "--trace", tmp + "/t.jsonl"]
        if "--shot" in sys.argv:
            for i, (pic, _) in enumerate(marks):
                args += ["--shot", "%d:/tmp/drive-%d.png" % (max(pic, 1), i)]
            args += ["--shot", "%d:/tmp/drive-end.png" % total]
        rc = subprocess.run(args).returncode
        trace = [json.loads(l) for l in open(tmp + "/t.jsonl")]
        for i, (pic, note) in enumerate(marks):
            if pic - 1 < len(trace):
                t = trace[pic - 1]
                print("%2d %5d sc%-2d x%7.1f y%6.1f (c%3d r%2d)  %s" % (
                    i, pic, t["scene"], t["playerX"], t["playerY"],
                    int((t["playerX"] + 12.5) // 25), int(t["playerY"] // 25), note))
        s = json.load(open(tmp + "/s.json"))
        print("end rc=%d scene %d x %.1f y %.1f (c%d r%d) pictures %d blocks %d miss %d" % (
            rc, s["scene"], s["playerX"], s["playerY"], int((s["playerX"] + 12.5) // 25),
            int(s["playerY"] // 25), total, s["blocksCrushed"], s["missCount"]))
        if "--grid" in sys.argv:
            print(json.dumps(s["grid"])[:2000])


if __name__ == "__main__":
    main()
