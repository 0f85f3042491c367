#!/usr/bin/python3
"""Automated playtest: seeded headless games by the built-in player at each skill.

Runs the game headless with --autoplay-skill and --events, one game folder per run, as many
runs at once as there are cores, and writes one CSV row per level attempt played. Arcade and
challenge games start at level 1 for a fresh player and run until game over or the last level
is won. A puzzle game starts at puzzle 1 and takes up to --tries tries at each puzzle; a puzzle
not solved in those tries is left (the next run starts at the following puzzle through the
continue dialog), so every puzzle is measured for every skill. --first-level starts every game
from a saved game at that level and --last-level ends it after that one: a cheap run for tests.

    tools/playtest/playtest.py --out build/playtest            # runs, CSV, report
    tools/playtest/playtest.py --report-only build/playtest/levels.csv --out docs/playtest
"""
import argparse
import concurrent.futures
import csv
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

TYPES = {"arcade": 1, "challenge": 2, "puzzle": 3}
SKILLS = ["casual", "average", "expert", "perfect"]
LAST_LEVEL = 30
FIELDS = ["type", "skill", "seed", "level", "try", "result", "how", "ticks", "time_ms",
          "shots", "bursts", "bonuses", "score"]

# Menu rows (src/menu/menu_layout.h): "start" on the main menu, then the game type's row.
START_ROW = (400, 176)
TYPE_ROWS = {"arcade": (400, 176), "challenge": (400, 236), "puzzle": (400, 296)}
# The continue dialog's Yes button (the pack's continue_last_game.map places it at 296, 330).
CONTINUE_YES = (340, 345)
# A safety net only: a game stops at its own end long before this.
TICK_CAP = 3_000_000
# The run's parameters, written beside the CSV.
RUN_FILE = "run.json"


def players_line(type_name, level):
    """A player who has read every explanation, saved at `level` of the type (1: fresh)."""
    levels = [1, 1, 1]
    levels[TYPES[type_name] - 1] = level
    return "Ann, %d, %d, %d, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n" % tuple(levels)


def script_for(type_name, level):
    lines = ["300 click left %d %d" % START_ROW, "330 click left %d %d" % TYPE_ROWS[type_name]]
    if level > 1:
        lines.append("360 click left %d %d" % CONTINUE_YES)
    return "\n".join(lines) + "\n"


class Level:
    def __init__(self, level, attempt, start_tick):
        self.level, self.attempt, self.start_tick = level, attempt, start_tick
        self.shots = self.bursts = self.bonuses = 0
        self.result, self.how, self.time_ms, self.end_tick, self.score = "unfinished", "", "", 0, 0


def read_events(path, offset):
    """New complete lines of the events file from byte `offset`: (events, new offset)."""
    try:
        with open(path, "rb") as f:
            f.seek(offset)
            data = f.read()
    except FileNotFoundError:
        return [], offset
    end = data.rfind(b"\n") + 1
    return [json.loads(line) for line in data[:end].splitlines() if line.strip()], offset + end


class Game:
    """Folds one run's events into level attempts and says when the run has ended."""

    def __init__(self, type_name, tries, last_level=LAST_LEVEL):
        self.type_name, self.tries, self.last_level = type_name, tries, last_level
        self.levels, self.current, self.attempts = [], None, {}
        self.done, self.last_tick = False, 0

    def feed(self, e):
        self.last_tick = e["tick"]
        kind = e["event"]
        if kind == "level_start":
            n = e["level"]
            self.attempts[n] = self.attempts.get(n, 0) + 1
            self.current = Level(n, self.attempts[n], e["tick"])
            self.levels.append(self.current)
        elif self.current is None:
            return
        elif kind == "shot":
            self.current.shots += 1
        elif kind == "burst":
            self.current.bursts += 1
        elif kind == "bonus":
            self.current.bonuses += 1
        elif kind in ("level_won", "level_lost"):
            c = self.current
            c.result = "won" if kind == "level_won" else "lost"
            c.how = e.get("how", "")
            c.time_ms = e.get("time", "")
            c.end_tick, c.score = e["tick"], e["score"]
            if kind == "level_won" and c.level >= self.last_level:
                self.done = True
            if kind == "level_lost" and self.type_name == "puzzle" and c.attempt >= self.tries:
                self.done = True
        elif kind == "game_over":
            self.done = True


def run_one(binary, pack, type_name, skill, seed, start_level, tries, keep, last_level=LAST_LEVEL):
    """One process: returns its level attempts and the level to start the next run at (0: none)."""
    folder = tempfile.mkdtemp(prefix="qv-playtest-")
    script = os.path.join(folder, "..", os.path.basename(folder) + ".script")
    events = os.path.join(folder, "..", os.path.basename(folder) + ".jsonl")
    try:
        with open(os.path.join(folder, "players.txt"), "w", newline="") as f:
            f.write(players_line(type_name, start_level))
        with open(script, "w") as f:
            f.write(script_for(type_name, start_level))
        # Each puzzle run gets its own seed so a later puzzle does not replay an earlier draw.
        run_seed = seed * 100 + start_level
        cmd = [binary, "--headless", "--no-sound", "--pack", pack, "--dir", folder,
               "--seed", str(run_seed), "--script", script, "--autoplay-skill", skill,
               "--ticks", str(TICK_CAP), "--events", events]
        game, offset = Game(type_name, tries, last_level), 0
        # A file, not a pipe: nobody reads a pipe while the game runs, and a full one stops it.
        with open(os.path.join(folder, "stderr.txt"), "w+b") as err_file:
            proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=err_file)
            while True:
                finished = proc.poll() is not None
                new, offset = read_events(events, offset)
                for e in new:
                    game.feed(e)
                    if game.done:
                        break
                if game.done or finished:
                    break
                time.sleep(0.02)
            if proc.poll() is None:
                proc.kill()
            proc.wait()
            err_file.seek(0)
            err = err_file.read().decode(errors="replace")
        if proc.returncode not in (0, -9) and not game.done:
            raise RuntimeError("%s exited %s: %s" % (" ".join(cmd), proc.returncode, err[-500:]))
        if keep and os.path.exists(events):
            shutil.copy(events, os.path.join(keep, "%s-%s-%d-%02d.jsonl" %
                                             (type_name, skill, seed, start_level)))
        next_level = 0
        if type_name == "puzzle" and game.levels:
            last = game.levels[-1]
            if last.result == "lost" and last.level < last_level:
                next_level = last.level + 1
        return game.levels, next_level
    finally:
        for p in (script, events):
            if os.path.exists(p):
                os.remove(p)
        shutil.rmtree(folder, ignore_errors=True)


def play_game(binary, pack, type_name, skill, seed, tries, keep, first_level=1,
              last_level=LAST_LEVEL):
    rows, level = [], first_level
    while level:
        levels, level = run_one(binary, pack, type_name, skill, seed, level, tries, keep,
                                last_level)
        for lv in levels:
            rows.append({"type": type_name, "skill": skill, "seed": seed, "level": lv.level,
                         "try": lv.attempt, "result": lv.result, "how": lv.how,
                         "ticks": (lv.end_tick or lv.start_tick) - lv.start_tick,
                         "time_ms": lv.time_ms, "shots": lv.shots, "bursts": lv.bursts,
                         "bonuses": lv.bonuses, "score": lv.score})
    return rows


def pack_checksum(pack):
    """SHA-256 over the pack's file names and contents, so a report names the levels it measured."""
    h = hashlib.sha256()
    for dirpath, dirnames, filenames in os.walk(pack):
        dirnames.sort()
        for name in sorted(filenames):
            path = os.path.join(dirpath, name)
            h.update(os.path.relpath(path, pack).encode() + b"\0")
            with open(path, "rb") as f:
                h.update(f.read())
    return h.hexdigest()


def command_output(cmd):
    try:
        return subprocess.run(cmd, capture_output=True, text=True, timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return ""


def shorten(text, head=400, tail=300):
    """The start (what ran, how it ended) and the end (its last words) of a long message."""
    return text if len(text) <= head + tail else text[:head] + " ... " + text[-tail:]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--quorvex", default=os.path.join(root, "build", "src", "quorvex"))
    ap.add_argument("--pack", default=os.path.join(root, "build", "pack"))
    ap.add_argument("--seeds", type=int, default=30, help="games per type and skill")
    ap.add_argument("--first-seed", type=int, default=1)
    ap.add_argument("--types", default=",".join(TYPES))
    ap.add_argument("--skills", default=",".join(SKILLS))
    ap.add_argument("--tries", type=int, default=3, help="tries at a puzzle before leaving it")
    ap.add_argument("--first-level", type=int, default=1,
                    help="start every game at this level (a saved game, continued)")
    ap.add_argument("--last-level", type=int, default=LAST_LEVEL,
                    help="end every game after this level")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    ap.add_argument("--out", default=os.path.join(root, "build", "playtest"))
    ap.add_argument("--keep-events", action="store_true", help="copy every run's events to OUT/events")
    ap.add_argument("--report-only", metavar="CSV", help="write the report from this CSV; no runs")
    ap.add_argument("--no-report", action="store_true")
    args = ap.parse_args()
    if not 1 <= args.first_level <= args.last_level <= LAST_LEVEL:
        ap.error("levels: need 1 <= --first-level <= --last-level <= %d" % LAST_LEVEL)
    if args.tries < 1 or args.seeds < 1 or args.jobs < 1:
        ap.error("--tries, --seeds and --jobs take a number of at least 1")
    os.makedirs(args.out, exist_ok=True)
    csv_path, failed = args.report_only, []
    if not csv_path:
        binary, pack = os.path.abspath(args.quorvex), os.path.abspath(args.pack)
        keep = os.path.join(args.out, "events") if args.keep_events else None
        if keep:
            os.makedirs(keep, exist_ok=True)
        games = [(t, s, seed) for t in args.types.split(",") for s in args.skills.split(",")
                 for seed in range(args.first_seed, args.first_seed + args.seeds)]
        for t, s, _ in games:
            if t not in TYPES or s not in SKILLS:
                ap.error("unknown type or skill: %s %s" % (t, s))
        started = time.time()
        date = time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime(started))
        results, failed = {}, []
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            futures = {pool.submit(play_game, binary, pack, t, s, seed, args.tries, keep,
                                   args.first_level, args.last_level): (t, s, seed)
                       for t, s, seed in games}
            for k, fut in enumerate(concurrent.futures.as_completed(futures), 1):
                # One game that fails (a crash of the game, say) must not cost the whole run.
                try:
                    results[futures[fut]] = fut.result()
                except Exception as e:  # noqa: BLE001  (reported below, the run goes on)
                    failed.append({"type": futures[fut][0], "skill": futures[fut][1],
                                   "seed": futures[fut][2], "error": shorten(str(e))})
                    print("\n%s %s seed %d failed: %s" % (*futures[fut], e), file=sys.stderr)
                print("\r%d/%d games" % (k, len(games)), end="", file=sys.stderr, flush=True)
        seconds = time.time() - started
        print(" in %.0f s" % seconds, file=sys.stderr)
        csv_path = os.path.join(args.out, "levels.csv")
        with open(csv_path, "w", newline="") as f:
            w = csv.DictWriter(f, fieldnames=FIELDS)
            w.writeheader()
            for key in games:
                w.writerows(results.get(key, ()))
        # What the CSV cannot say, for the report (also when it is rewritten with --report-only).
        run = {"seeds": args.seeds, "first_seed": args.first_seed, "types": args.types.split(","),
               "skills": args.skills.split(","), "tries": args.tries,
               "first_level": args.first_level, "last_level": args.last_level,
               "jobs": args.jobs, "seconds": round(seconds),
               "date": date, "failed": failed,
               "version": command_output([binary, "--version"]),
               "commit": command_output(["git", "-C", root, "describe", "--always", "--dirty"]),
               "pack_sha256": pack_checksum(pack)}
        with open(os.path.join(args.out, RUN_FILE), "w") as f:
            json.dump(run, f, indent=1)
            f.write("\n")
    if not args.no_report:
        sys.path.insert(0, here)
        import report
        report.write_report(csv_path, args.out)
    if not args.report_only and failed:
        sys.exit("%d of %d games failed; the CSV and report hold the others" % (len(failed),
                                                                               len(games)))


if __name__ == "__main__":
    main()
