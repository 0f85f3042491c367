#!/usr/bin/python3
"""The playtest tool's CSV against the game's own events: a tiny run of the built game and pack,
its kept events files read here line by line, without the tool's fold.

QUORVEX_BINARY and QUORVEX_PACK name the built game and pack (ctest sets them); by default the
build folder of the checkout.
"""
import collections
import csv
import json
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "tools", "playtest", "playtest.py")
BINARY = os.environ.get("QUORVEX_BINARY", os.path.join(ROOT, "build", "src", "quorvex"))
PACK = os.environ.get("QUORVEX_PACK", os.path.join(ROOT, "build", "pack"))
TYPE_NAMES = {1: "arcade", 2: "challenge", 3: "puzzle"}
COUNTED = {"shot": "shots", "burst": "bursts", "bonus": "bonuses"}

FIRST, LAST, TRIES = 28, 29, 2


def attempts_in(path):
    """The level attempts of one events file: a level_start opens one, a level end closes it.
    The game is over at game_over; what the file holds after it (the game goes on to the try
    again from an earlier level) was written before the tool stopped the game."""
    out, current = [], None
    with open(path) as f:
        for line in f:
            e = json.loads(line)
            kind = e["event"]
            if kind == "game_over":
                break
            if kind == "level_start":
                current = {"type": TYPE_NAMES[e["type"]], "level": e["level"], "start": e["tick"],
                           "shots": 0, "bursts": 0, "bonuses": 0, "end": None}
                out.append(current)
                continue
            assert current is not None, "%s: %s before any level_start" % (path, kind)
            assert e["level"] == current["level"], "%s: %s of another level" % (path, kind)
            if kind in COUNTED:
                current[COUNTED[kind]] += 1
            elif kind in ("level_won", "level_lost"):
                assert current["end"] is None, "%s: a level ended twice" % path
                current["end"] = e
    return out


class CsvMatchesEvents(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(PACK, "options.txt")):
            raise unittest.SkipTest("no content pack built in %s" % PACK)
        cls.dir = tempfile.TemporaryDirectory()
        out = cls.dir.name
        subprocess.run([TOOL, "--quorvex", BINARY, "--pack", PACK, "--seeds", "1",
                        "--skills", "casual,expert", "--first-level", str(FIRST),
                        "--last-level", str(LAST), "--tries", str(TRIES), "--keep-events",
                        "--out", out, "--no-report"], check=True, timeout=120)
        with open(os.path.join(out, "levels.csv"), newline="") as f:
            cls.rows = list(csv.DictReader(f))
        # Each game's events files in the order its runs were started (the start level).
        cls.files = collections.defaultdict(list)
        for name in sorted(os.listdir(os.path.join(out, "events"))):
            type_name, skill, seed, start = name[:-len(".jsonl")].split("-")
            cls.files[(type_name, skill, seed)].append(
                (int(start), os.path.join(out, "events", name)))

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def expected_rows(self, key):
        """What the CSV must hold for one game, from its events and the run's limits."""
        type_name = key[0]
        rows, tries = [], collections.Counter()
        for _, path in sorted(self.files[key]):
            for a in attempts_in(path):
                tries[a["level"]] += 1
                if a["level"] > LAST or (type_name == "puzzle" and tries[a["level"]] > TRIES):
                    # Played after the tool had what it wanted and before it stopped the game.
                    break
                end = a["end"] or {}
                won = end.get("event") == "level_won"
                rows.append({
                    "type": type_name, "skill": key[1], "seed": key[2],
                    "level": str(a["level"]), "try": str(tries[a["level"]]),
                    "result": "won" if won else "lost" if end else "unfinished",
                    "how": end.get("how", ""), "ticks": str(end["tick"] - a["start"] if end else 0),
                    "time_ms": str(end["time"]) if won else "", "shots": str(a["shots"]),
                    "bursts": str(a["bursts"]), "bonuses": str(a["bonuses"]),
                    "score": str(end["score"] if end else 0)})
                if won:
                    # The game counts its shots too.
                    self.assertEqual(end["shots"], a["shots"], (key, a["level"]))
        return rows

    def test_every_level_start_has_its_row_and_the_rows_agree(self):
        games = sorted(self.files)
        self.assertEqual(len(games), 6)  # three types, two skills, one seed
        for key in games:
            got = [r for r in self.rows if (r["type"], r["skill"], r["seed"]) == key]
            self.assertEqual(got, self.expected_rows(key), key)
        self.assertEqual(sum(len(self.expected_rows(k)) for k in games), len(self.rows))

    def test_every_game_ends_and_each_loss_has_its_cause(self):
        how = {"arcade": "danger", "challenge": "drain", "puzzle": "shots"}
        for r in self.rows:
            self.assertIn(r["result"], ("won", "lost"), r)
            if r["result"] == "lost":
                self.assertEqual(r["how"], how[r["type"]], r)

    def test_puzzle_is_left_after_the_set_tries(self):
        for key, files in self.files.items():
            if key[0] != "puzzle":
                continue
            rows = [r for r in self.rows if (r["type"], r["skill"], r["seed"]) == key]
            self.assertTrue(rows)
            self.assertEqual(rows[0]["level"], str(FIRST))
            by_level = collections.defaultdict(list)
            for r in rows:
                by_level[int(r["level"])].append(r)
            for level, tries in by_level.items():
                self.assertLessEqual(len(tries), TRIES, (key, level))
                self.assertEqual(len([t for t in tries if t["result"] == "won"]),
                                 1 if tries[-1]["result"] == "won" else 0, (key, level))
                self.assertTrue(all(t["result"] == "lost" for t in tries[:-1]), (key, level))
                if tries[-1]["result"] == "lost" and level < LAST:
                    # Left after its tries: the next run continues the saved game one puzzle on.
                    self.assertEqual(len(tries), TRIES, (key, level))
                    self.assertIn(level + 1, [start for start, _ in files], (key, level))
            # Every puzzle of the range was played, and none after it.
            self.assertEqual(sorted(by_level), list(range(FIRST, LAST + 1)), key)

    def test_arcade_and_challenge_continue_the_saved_game(self):
        for key, files in self.files.items():
            if key[0] == "puzzle":
                continue
            self.assertEqual([start for start, _ in files], [FIRST], key)
            first = attempts_in(files[0][1])[0]
            self.assertEqual(first["level"], FIRST, key)


if __name__ == "__main__":
    unittest.main()
