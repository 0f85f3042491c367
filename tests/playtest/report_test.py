#!/usr/bin/python3
"""The playtest tool's fold of the events and its report's figures, on written inputs."""
import csv
import json
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "tools", "playtest")
sys.path.insert(0, TOOL)

import playtest  # noqa: E402
import report  # noqa: E402


def event(name, tick, level, score=0, **more):
    return dict(event=name, tick=tick, type=1, level=level, score=score, **more)


class FoldTest(unittest.TestCase):
    def test_level_attempt_takes_its_counts_and_end(self):
        g = playtest.Game("arcade", 3)
        for e in [event("dialog", 5, 1, dialog="continue"),
                  event("level_start", 10, 1),
                  event("shot", 20, 1), event("shot", 30, 1),
                  event("burst", 31, 1, 3, size=3, dropped=0),
                  event("bonus", 40, 1, 3, bonus=2),
                  event("level_won", 90, 1, 120, time=800, shots=2),
                  event("level_start", 100, 2, 120),
                  event("shot", 110, 2, 120),
                  event("level_lost", 150, 2, 125, how="danger")]:
            g.feed(e)
        self.assertFalse(g.done)
        g.feed(event("game_over", 151, 2, 125))
        self.assertTrue(g.done)
        won, lost = g.levels
        self.assertEqual((won.level, won.attempt, won.result, won.how, won.time_ms, won.shots,
                          won.bursts, won.bonuses, won.score, won.end_tick - won.start_tick),
                         (1, 1, "won", "", 800, 2, 1, 1, 120, 80))
        self.assertEqual((lost.level, lost.result, lost.how, lost.shots, lost.score),
                         (2, "lost", "danger", 1, 125))

    def test_puzzle_is_left_after_the_set_tries(self):
        g = playtest.Game("puzzle", 2)
        g.feed(event("level_start", 1, 7))
        g.feed(event("level_lost", 2, 7, how="shots"))
        self.assertFalse(g.done)
        g.feed(event("level_start", 3, 7))
        g.feed(event("level_lost", 4, 7, how="shots"))
        self.assertTrue(g.done)
        self.assertEqual([lv.attempt for lv in g.levels], [1, 2])

    def test_game_ends_with_the_last_level_won(self):
        g = playtest.Game("arcade", 3, last_level=4)
        g.feed(event("level_start", 1, 3))
        g.feed(event("level_won", 2, 3, time=10))
        self.assertFalse(g.done)
        g.feed(event("level_start", 3, 4))
        g.feed(event("level_won", 4, 4, time=10))
        self.assertTrue(g.done)

    def test_a_level_cut_short_is_unfinished(self):
        g = playtest.Game("challenge", 3)
        g.feed(event("level_start", 1, 1))
        g.feed(event("shot", 2, 1))
        self.assertEqual((g.levels[0].result, g.levels[0].shots), ("unfinished", 1))


FAKE_GAME = r'''#!/usr/bin/python3
import json, sys, time
# Chatty on standard error before its first event, as a game with a warning per frame would be.
sys.stderr.write("warning: something to say\n" * 40000)
sys.stderr.flush()
if sys.argv[sys.argv.index("--seed") + 1] == "201":
    sys.exit(3)  # the second game's seed: a game that fails
events = sys.argv[sys.argv.index("--events") + 1]
with open(events, "w") as f:
    for name, more in (("level_start", {}), ("level_lost", {"how": "danger"}), ("game_over", {})):
        f.write(json.dumps(dict(event=name, tick=1, type=1, level=1, score=0, **more)) + "\n")
time.sleep(60)
'''


def run_fake_games(d, seeds):
    fake = os.path.join(d, "fake-game")
    with open(fake, "w") as f:
        f.write(FAKE_GAME)
    os.chmod(fake, 0o755)
    out = os.path.join(d, "out")
    return out, subprocess.run([sys.executable, os.path.join(TOOL, "playtest.py"), "--quorvex",
                                fake, "--pack", d, "--types", "arcade", "--skills", "casual",
                                "--seeds", str(seeds), "--out", out],
                               timeout=30, capture_output=True, text=True)


class RunnerTest(unittest.TestCase):
    def test_a_game_that_writes_much_to_standard_error_is_not_stalled(self):
        with tempfile.TemporaryDirectory() as d:
            out, r = run_fake_games(d, 1)
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(os.path.join(out, "levels.csv"), newline="") as f:
                rows = list(csv.DictReader(f))
            self.assertEqual([(r["level"], r["result"], r["how"]) for r in rows],
                             [("1", "lost", "danger")])
            with open(os.path.join(out, "run.json")) as f:
                run = json.load(f)
            self.assertEqual((run["seeds"], run["tries"], run["first_level"], run["last_level"]),
                             (1, 3, 1, 30))

    def test_a_failed_game_costs_only_itself(self):
        with tempfile.TemporaryDirectory() as d:
            out, r = run_fake_games(d, 2)
            self.assertEqual(r.returncode, 1)
            self.assertIn("1 of 2 games failed", r.stderr)
            with open(os.path.join(out, "levels.csv"), newline="") as f:
                self.assertEqual([row["seed"] for row in csv.DictReader(f)], ["1"])
            with open(os.path.join(out, "run.json")) as f:
                failed = json.load(f)["failed"]
            self.assertEqual([(x["type"], x["skill"], x["seed"]) for x in failed],
                             [("arcade", "casual", 2)])
            self.assertIn("exited 3", failed[0]["error"])
            with open(os.path.join(out, "report.md")) as f:
                self.assertIn("**1 games failed and are not in the figures:**", f.read())

    def test_levels_out_of_order_are_refused(self):
        r = subprocess.run([sys.executable, os.path.join(TOOL, "playtest.py"), "--first-level",
                            "12", "--last-level", "11", "--out", tempfile.gettempdir()],
                           capture_output=True, text=True, timeout=30)
        self.assertEqual(r.returncode, 2)
        self.assertIn("--first-level", r.stderr)


# A small written run. Arcade and challenge: one letter per level from level 1 (W won, L lost,
# U unfinished). Puzzle: one string per puzzle, a letter per try.
FIELDS = playtest.FIELDS
HOW = {"arcade": "danger", "challenge": "drain", "puzzle": "shots"}


def game_rows(type_name, skill, seed, outcomes, times=None):
    rows = []
    for i, tries in enumerate(outcomes):
        level = i + 1
        for t, letter in enumerate(tries, 1):
            result = {"W": "won", "L": "lost", "U": "unfinished"}[letter]
            time_ms = (times[i] if times else 1000 * level) if letter == "W" else ""
            rows.append({"type": type_name, "skill": skill, "seed": seed, "level": level,
                         "try": t, "result": result, "how": HOW[type_name] if letter == "L" else "",
                         "ticks": 100, "time_ms": time_ms, "shots": 10, "bursts": 4,
                         "bonuses": 1, "score": 50 * level})
    return rows


def written_run():
    rows = []
    # Casual arcade reaches 3, 2, 1 and 4 (the last cut short).
    rows += game_rows("arcade", "casual", 1, "WWL", times=[10000, 30000, 0])
    rows += game_rows("arcade", "casual", 2, "WL", times=[20000, 0])
    rows += game_rows("arcade", "casual", 3, "L")
    rows += game_rows("arcade", "casual", 4, "WWWU", times=[40000, 10000, 10000, 0])
    # Average: all four win levels 1 and 2, one of them level 3, which it then loses at 4.
    for seed in (1, 2, 3):
        rows += game_rows("arcade", "average", seed, "WWL")
    rows += game_rows("arcade", "average", 4, "WWWL")
    # Expert reaches 20 and 25.
    rows += game_rows("arcade", "expert", 1, "W" * 19 + "L")
    rows += game_rows("arcade", "expert", 2, "W" * 24 + "L")
    # Perfect clears everything.
    for seed in (1, 2):
        rows += game_rows("arcade", "perfect", seed, "W" * 30)
    # Puzzle, a run with four tries: casual solves 1-5 once, and 1-4 plus 5 on the fourth try.
    rows += game_rows("puzzle", "casual", 1, ["W"] * 5 + ["LLLL"] * 25)
    rows += game_rows("puzzle", "casual", 2, ["W"] * 4 + ["LLLW"] + ["LLLL"] * 25)
    # Average solves 20, 25 and 10 within three tries.
    for seed, n in ((1, 20), (2, 25), (3, 10)):
        rows += game_rows("puzzle", "average", seed, ["LW"] * n + ["LLLL"] * (30 - n))
    # Perfect misses puzzle 17 in one game.
    rows += game_rows("puzzle", "perfect", 1, ["W"] * 30)
    rows += game_rows("puzzle", "perfect", 2, ["W"] * 16 + ["LLLL"] + ["W"] * 13)
    return rows


class ReportTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.csv = os.path.join(cls.dir.name, "levels.csv")
        with open(cls.csv, "w", newline="") as f:
            w = csv.DictWriter(f, fieldnames=FIELDS)
            w.writeheader()
            w.writerows(written_run())
        cls.measured = report.Run(report.read_rows(cls.csv), {})
        cls.out = os.path.join(cls.dir.name, "report")
        cls.md_path = report.write_report(cls.csv, cls.out)
        with open(cls.md_path) as f:
            cls.md = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def games(self, type_name, skill):
        return self.measured.of(type_name, skill)

    def test_win_rate_counts_games_that_never_reached_the_level(self):
        casual = self.games("arcade", "casual")
        self.assertEqual([report.win_rate(casual, n) for n in (1, 2, 3, 4)], [75, 50, 25, 0])
        # Of the two games that started level 3, one won it.
        self.assertEqual(report.win_rate_when_reached(casual, 3), 50)
        self.assertIsNone(report.win_rate_when_reached(casual, 5))
        self.assertIn("| 3 | 25 % | 25 % | 100 % | 100 % |", self.md)

    def test_median_level_reached(self):
        self.assertEqual(report.median_reached(self.games("arcade", "casual"), 30), 2.5)
        self.assertEqual(report.median_reached(self.games("arcade", "expert"), 30), 22.5)
        self.assertEqual(report.median_reached(self.games("arcade", "perfect"), 30), 31)
        self.assertIn("| perfect | 2 | all 30 cleared | all 30 cleared | all 30 cleared |",
                      self.md)

    def test_puzzle_solved_within_tries(self):
        casual = self.games("puzzle", "casual")
        self.assertEqual(report.win_rate(casual, 5), 100)
        self.assertEqual(report.win_rate(casual, 5, tries=3), 50)
        self.assertEqual(report.median_solved(self.games("puzzle", "average"), 3), 20)

    def test_time_per_level_is_the_median_of_won_levels(self):
        casual = self.games("arcade", "casual")
        self.assertEqual(report.time_per_level(casual, 1), 20.0)
        self.assertEqual(report.time_per_level(casual, 2), 20.0)
        self.assertIsNone(report.time_per_level(casual, 4))

    def test_losses_by_cause(self):
        self.assertEqual(report.loss_causes(self.games("arcade", "casual")), {"danger": 3})
        self.assertEqual(report.loss_causes(self.games("puzzle", "perfect")), {"shots": 4})
        self.assertIn("| casual | 3 | 100 % (3) |", self.md)

    def test_targets_met_and_not_met(self):
        got = {}
        for t in report.TARGETS:
            text, measured, met = report.evaluate(t, self.measured)
            got[(t.type, t.skill, t.kind, t.params.get("level"))] = (measured, met)
        expect = {
            ("arcade", "casual", "win_rate", 1): ("75 %", False),
            ("arcade", "casual", "win_rate", 3): ("25 %", False),
            ("arcade", "casual", "median_reached", None): ("2.5", False),
            ("arcade", "average", "median_reached", None): ("3", False),
            ("arcade", "expert", "median_reached", None): ("22.5", True),
            ("arcade", "perfect", "cleared", None): ("100 %", True),
            # Four games are too few to judge a level's own rate.
            ("arcade", "casual", "rise", None): ("not measured", None),
            ("arcade", "average", "halving", None): ("not measured", None),
            ("puzzle", "casual", "puzzles_within", None): ("lowest 50 % (puzzle 5)", False),
            ("puzzle", "average", "median_solved", None): ("20", True),
            ("puzzle", "perfect", "all_solved", None): ("98 % of puzzles solved (missed: 17)",
                                                        False),
        }
        for key, value in expect.items():
            self.assertEqual(got[key], value, key)
        # Challenge was not played: its targets are not in the table.
        self.assertNotIn("| challenge |", self.md)
        self.assertIn("| arcade | casual wins level 1 in ≥ 95 % of games | 75 % | **not met** |",
                      self.md)
        self.assertIn("| arcade | expert median level reached ≥ 20 | 22.5 | met |", self.md)

    def test_a_rise_beyond_the_limit_is_not_met(self):
        rows = report.read_rows(self.csv)
        # A level 2 nobody wins before a level 3 that half win: the check reads each level's
        # own rate (won when reached), which can rise where the share of games cannot.
        for r in rows:
            if r["type"] == "arcade" and r["skill"] == "casual" and r["level"] == 2:
                r["result"] = "lost"
        run = report.Run(rows, {})
        target = next(t for t in report.TARGETS if t.type == "arcade" and t.kind == "rise")
        self.assertEqual(report.evaluate(target, run)[1:], ("not measured", None))
        target = target._replace(params=dict(target.params, games=2))
        self.assertEqual(report.evaluate(target, run)[1:],
                         ("largest rise +50 points (level 3)", False))

    def test_a_level_that_halves_the_win_rate_is_not_met(self):
        target = next(t for t in report.TARGETS
                      if t.type == "arcade" and t.kind == "halving")
        # Four games won level 2 and one won level 3: a quarter, judged once four games count.
        for games, expected in ((4, ("lowest ratio 0.25 (level 3)", False)),
                                (5, ("not measured", None))):
            t = target._replace(params=dict(target.params, games=games))
            self.assertEqual(report.evaluate(t, self.measured)[1:], expected, games)

    def test_a_partial_run_does_not_judge_whole_games(self):
        rows = [r for r in report.read_rows(self.csv) if r["level"] >= 28]
        run = report.Run(rows, {"first_level": 28, "last_level": 30})
        target = next(t for t in report.TARGETS
                      if t.type == "arcade" and t.kind == "median_reached")
        self.assertEqual(report.evaluate(target, run)[1:], ("not measured", None))

    def test_charts_are_png_files_the_report_links(self):
        for type_name in ("arcade", "puzzle"):
            for chart in ("win-rate", "reached", "time", "losses"):
                name = "%s-%s.png" % (type_name, chart)
                with open(os.path.join(self.out, name), "rb") as f:
                    self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n", name)
                self.assertIn("](%s)" % name, self.md)
        self.assertFalse(os.path.exists(os.path.join(self.out, "challenge-win-rate.png")))

    def test_run_parameters_are_read_beside_the_csv(self):
        with tempfile.TemporaryDirectory() as d:
            csv_path = os.path.join(d, "levels.csv")
            with open(self.csv) as src, open(csv_path, "w") as dst:
                dst.write(src.read())
            with open(os.path.join(d, report.RUN_FILE), "w") as f:
                json.dump({"seeds": 4, "first_seed": 1, "tries": 4, "commit": "abc123",
                           "pack_sha256": "f00d"}, f)
            with open(report.write_report(csv_path, d)) as f:
                md = f.read()
            self.assertIn("| seeds | 4 per type and skill (1–4) |", md)
            self.assertIn("| tries at a puzzle | 4 |", md)
            self.assertIn("| pack SHA-256 | `f00d` |", md)


if __name__ == "__main__":
    unittest.main()
