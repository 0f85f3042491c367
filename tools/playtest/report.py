#!/usr/bin/python3
"""Playtest report: the CSV of level attempts as a markdown report with PNG charts beside it.

    tools/playtest/report.py build/playtest/levels.csv docs/playtest

The run's parameters come from run.json beside the CSV when the runner wrote one.
"""
import collections
import csv
import json
import math
import os
import statistics
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402  (the back end is chosen first)

TYPES = ["arcade", "challenge", "puzzle"]
SKILLS = ["casual", "average", "expert", "perfect"]
LAST_LEVEL = 30
RUN_FILE = "run.json"

# The curve the levels are tuned to. Kinds:
#   win_rate        games that won `level`, in % (games that never reached it count as not won)
#   median_reached  median over games of the highest level started (all cleared: last + 1)
#   cleared         games that won the last level, in %
#   rise            after level `after`, no level's rate won when reached exceeds the one
#                   before by more than `max` points, where `games` games reached both
#   halving         no level's win rate falls below `ratio` of the one before, where `games`
#                   games won the one before
#   puzzles_within  each puzzle of `levels` solved within `tries` tries in at least `min` % of games
#   median_solved   median over games of the puzzles solved within `tries` tries each
#   all_solved      every game solves every puzzle within the run's tries
Target = collections.namedtuple("Target", "type skill kind params")
TARGETS = [
    Target("arcade", "casual", "win_rate", {"level": 1, "min": 95}),
    Target("arcade", "casual", "win_rate", {"level": 3, "min": 75}),
    Target("arcade", "casual", "median_reached", {"min": 4, "max": 10}),
    Target("arcade", "average", "median_reached", {"min": 10, "max": 18}),
    Target("arcade", "expert", "median_reached", {"min": 20}),
    Target("arcade", "perfect", "cleared", {"min": 80}),
    Target("arcade", "casual", "rise", {"after": 2, "max": 10, "games": 10}),
    Target("arcade", "average", "halving", {"ratio": 0.5, "games": 10}),
    Target("challenge", "casual", "win_rate", {"level": 1, "min": 95}),
    Target("challenge", "casual", "win_rate", {"level": 3, "min": 75}),
    Target("challenge", "casual", "median_reached", {"min": 3, "max": 8}),
    Target("challenge", "average", "median_reached", {"min": 10, "max": 18}),
    Target("challenge", "expert", "median_reached", {"min": 20}),
    Target("challenge", "perfect", "cleared", {"min": 80}),
    Target("challenge", "casual", "rise", {"after": 2, "max": 10, "games": 10}),
    Target("challenge", "average", "halving", {"ratio": 0.5, "games": 10}),
    Target("puzzle", "casual", "puzzles_within", {"levels": (1, 5), "tries": 3, "min": 80}),
    Target("puzzle", "average", "median_solved", {"tries": 3, "min": 20}),
    Target("puzzle", "perfect", "all_solved", {}),
]

COLOURS = {"casual": "#1b9e77", "average": "#d95f02", "expert": "#7570b3", "perfect": "#444444"}
# Target labels stay legible where a line runs under them.
LABEL_BOX = {"fc": "white", "ec": "none", "alpha": 0.8, "pad": 1}
CAUSE_COLOURS = {"danger": "#e7298a", "drain": "#e6ab02", "shots": "#66a61e"}
INT_FIELDS = ("seed", "level", "try", "ticks", "shots", "bursts", "bonuses", "score")


class GameRecord:
    """One game: its level attempts by level, in the order played."""

    def __init__(self, seed):
        self.seed = seed
        self.attempts = collections.defaultdict(list)

    def won(self, level, tries=None):
        return any(a["result"] == "won" and (tries is None or a["try"] <= tries)
                   for a in self.attempts.get(level, ()))

    def started(self, level):
        return level in self.attempts

    def reached(self, last_level):
        """The highest level started; last_level + 1 when the last level was won."""
        if self.won(last_level):
            return last_level + 1
        return max(self.attempts) if self.attempts else 0

    def solved(self, tries=None):
        return sum(1 for level in self.attempts if self.won(level, tries))


def read_rows(csv_path):
    with open(csv_path, newline="") as f:
        rows = list(csv.DictReader(f))
    for r in rows:
        for k in INT_FIELDS:
            r[k] = int(r[k])
        r["time_ms"] = int(r["time_ms"]) if r["time_ms"] else None
    return rows


def fold(rows):
    """{type: {skill: [GameRecord, ...]}}, games in seed order."""
    games = {}
    for r in rows:
        by_seed = games.setdefault(r["type"], {}).setdefault(r["skill"], {})
        game = by_seed.setdefault(r["seed"], GameRecord(r["seed"]))
        game.attempts[r["level"]].append(r)
    return {t: {s: [by_seed[k] for k in sorted(by_seed)] for s, by_seed in skills.items()}
            for t, skills in games.items()}


def percent(part, whole):
    return 100.0 * part / whole if whole else None


def win_rate(games, level, tries=None):
    """% of games that won `level` (within `tries`); a game that never reached it did not."""
    return percent(sum(g.won(level, tries) for g in games), len(games))


def win_rate_when_reached(games, level):
    reached = [g for g in games if g.started(level)]
    return percent(sum(g.won(level) for g in reached), len(reached))


def median_reached(games, last_level):
    return statistics.median(g.reached(last_level) for g in games) if games else None


def median_solved(games, tries=None):
    return statistics.median(g.solved(tries) for g in games) if games else None


def time_per_level(games, level):
    """Median game time in seconds of the won attempts at `level`."""
    times = [a["time_ms"] for g in games for a in g.attempts.get(level, ())
             if a["result"] == "won" and a["time_ms"] is not None]
    return statistics.median(times) / 1000.0 if times else None


def loss_causes(games):
    return collections.Counter(a["how"] or "unknown" for g in games
                               for attempts in g.attempts.values() for a in attempts
                               if a["result"] == "lost")


def unfinished(games):
    return sum(1 for g in games for attempts in g.attempts.values() for a in attempts
               if a["result"] == "unfinished")


class Run:
    """The measured data and the run's parameters the report reads."""

    def __init__(self, rows, params):
        self.params = params
        self.games = fold(rows)
        self.first_level = params.get("first_level") or min((r["level"] for r in rows), default=1)
        self.last_level = params.get("last_level") or LAST_LEVEL
        self.levels = list(range(self.first_level, self.last_level + 1))
        # Whole games: what a game reached or solved means something only from the first level on.
        self.whole = self.first_level == 1 and self.last_level == LAST_LEVEL

    def skills(self, type_name):
        return [s for s in SKILLS if s in self.games.get(type_name, {})]

    def of(self, type_name, skill):
        return self.games.get(type_name, {}).get(skill, [])


def fmt_pct(v):
    return "–" if v is None else "%.0f %%" % v


def fmt_num(v, digits=0):
    if v is None:
        return "–"
    return ("%d" % v) if float(v).is_integer() else ("%.*f" % (max(digits, 1), v))


def fmt_reached(v, last_level):
    if v is None:
        return "–"
    if v >= last_level + 1:
        return "all %d cleared" % last_level
    return fmt_num(v)


def evaluate(target, run):
    """(what the target asks, the measured value as text, True/False, or None without data)."""
    games, p, last = run.of(target.type, target.skill), target.params, run.last_level
    who = target.skill
    if target.kind == "win_rate":
        text = "%s wins level %d in ≥ %d %% of games" % (who, p["level"], p["min"])
        if not games or p["level"] not in run.levels:
            return text, "not measured", None
        v = win_rate(games, p["level"])
        return text, fmt_pct(v), v >= p["min"]
    if target.kind == "median_reached":
        if "max" in p:
            text = "%s median level reached %d–%d" % (who, p["min"], p["max"])
        else:
            text = "%s median level reached ≥ %d" % (who, p["min"])
        v = median_reached(games, last)
        if v is None or not run.whole:
            return text, "not measured", None
        return text, fmt_reached(v, last), p["min"] <= v <= p.get("max", math.inf)
    if target.kind == "cleared":
        text = "%s clears all %d levels in ≥ %d %% of games" % (who, last, p["min"])
        if not games or not run.whole:
            return text, "not measured", None
        v = win_rate(games, last)
        return text, fmt_pct(v), v >= p["min"]
    if target.kind == "rise":
        # A loss ends the game, so the share of games that won a level cannot rise; the rise
        # that matters is in each level's own difficulty, won when reached, where enough games
        # reached both levels for the rate to mean something.
        text = ("%s: after level %d, no level won when reached more often than the one before "
                "by more than %d points (where ≥ %d games reached both)"
                % (who, p["after"], p["max"], p["games"]))
        pairs = [(n, win_rate_when_reached(games, n) - win_rate_when_reached(games, n - 1))
                 for n in run.levels
                 if games and n > p["after"] and n - 1 in run.levels
                 and sum(g.started(n) for g in games) >= p["games"]]
        if not pairs:
            return text, "not measured", None
        n, rise = max(pairs, key=lambda x: x[1])
        return text, "largest rise %+.0f points (level %d)" % (rise, n), rise <= p["max"]
    if target.kind == "halving":
        # Judged where enough games won the level before: with three games left, one loss is
        # a third of the curve and says nothing of the level.
        text = "%s: no level halves the win rate (where ≥ %d games won the level before)" % (
            who, p["games"])
        pairs = []
        for n in run.levels:
            if games and n - 1 in run.levels:
                won_before = sum(g.won(n - 1) for g in games)
                if won_before >= p["games"]:
                    pairs.append((n, sum(g.won(n) for g in games) / won_before))
        if not pairs:
            return text, "not measured", None
        n, ratio = min(pairs, key=lambda x: x[1])
        return text, "lowest ratio %.2f (level %d)" % (ratio, n), ratio >= p["ratio"]
    if target.kind == "puzzles_within":
        lo, hi = p["levels"]
        text = "%s solves each of puzzles %d–%d within %d tries in ≥ %d %% of games" % (
            who, lo, hi, p["tries"], p["min"])
        rates = [(n, win_rate(games, n, p["tries"])) for n in range(lo, hi + 1) if n in run.levels]
        if not games or len(rates) != hi - lo + 1:
            return text, "not measured", None
        n, v = min(rates, key=lambda x: x[1])
        return text, "lowest %s (puzzle %d)" % (fmt_pct(v), n), v >= p["min"]
    if target.kind == "median_solved":
        text = "%s solves ≥ %d of the %d puzzles within %d tries each (median over games)" % (
            who, p["min"], len(run.levels), p["tries"])
        v = median_solved(games, p["tries"])
        if v is None or not run.whole:
            return text, "not measured", None
        return text, fmt_num(v), v >= p["min"]
    if target.kind == "all_solved":
        text = "%s solves every puzzle in every game" % who
        if not games:
            return text, "not measured", None
        solved = sum(g.won(n) for g in games for n in run.levels)
        total = len(games) * len(run.levels)
        missed = sorted({n for g in games for n in run.levels if not g.won(n)})
        measured = "%s of puzzles solved" % fmt_pct(percent(solved, total))
        if missed:
            measured += " (missed: %s)" % ", ".join(str(n) for n in missed)
        return text, measured, solved == total
    raise ValueError("unknown target kind: %s" % target.kind)


def verdict(met):
    return {True: "met", False: "**not met**", None: "–"}[met]


# Charts.

def save(fig, out_dir, name):
    fig.tight_layout()
    fig.savefig(os.path.join(out_dir, name), dpi=100, metadata={"Software": None})
    plt.close(fig)
    return name


def level_axis(ax, run, label):
    ax.set_xlabel(label)
    ax.set_xlim(run.first_level - 0.5, run.last_level + 0.5)
    step = 1 if len(run.levels) <= 10 else 2
    ax.set_xticks(range(run.first_level, run.last_level + 1, step))
    ax.grid(True, alpha=0.3)


def chart_win_rate(run, type_name, out_dir):
    noun = "puzzle" if type_name == "puzzle" else "level"
    fig, ax = plt.subplots(figsize=(9.5, 4.5))
    for skill in run.skills(type_name):
        games = run.of(type_name, skill)
        ax.plot(run.levels, [win_rate(games, n) for n in run.levels], marker="o", ms=3,
                color=COLOURS[skill], label="%s (%d games)" % (skill, len(games)))
    drawn_target = False
    for t in TARGETS:
        if t.type != type_name:
            continue
        p, colour = t.params, COLOURS[t.skill]
        if t.kind == "win_rate" and p["level"] in run.levels:
            ax.plot([p["level"]], [p["min"]], marker="v", ms=10, color=colour, mfc="none", mew=2)
            ax.annotate("%s target ≥ %d %%" % (t.skill, p["min"]), (p["level"], p["min"]),
                        textcoords="offset points", xytext=(8, -14), fontsize=8, color=colour,
                        bbox=LABEL_BOX)
            drawn_target = True
        elif t.kind == "cleared" and run.last_level in run.levels:
            ax.plot([run.last_level], [p["min"]], marker="v", ms=10, color=colour, mfc="none",
                    mew=2)
            ax.annotate("%s target ≥ %d %%" % (t.skill, p["min"]), (run.last_level, p["min"]),
                        textcoords="offset points", xytext=(-95, -14), fontsize=8, color=colour,
                        bbox=LABEL_BOX)
            drawn_target = True
        elif t.kind == "puzzles_within":
            lo, hi = p["levels"]
            ax.hlines(p["min"], lo - 0.3, hi + 0.3, colors=colour, linestyles="--", lw=2)
            ax.annotate("%s target ≥ %d %% (%d tries)" % (t.skill, p["min"], p["tries"]),
                        (hi + 0.3, p["min"]), textcoords="offset points", xytext=(4, -4),
                        fontsize=8, color=colour, bbox=LABEL_BOX)
            drawn_target = True
    if drawn_target:
        ax.plot([], [], marker="v", ls="none", color="grey", mfc="none", label="targets")
    level_axis(ax, run, noun)
    ax.set_ylim(-3, 103)
    ax.set_ylabel("% of games")
    if type_name == "puzzle":
        ax.set_title("Puzzle: share of games that solved each puzzle within the tries")
    else:
        ax.set_title("%s: share of games that won each level" % type_name.capitalize())
    # Beside the plot: inside it would hide the lines that lie at 0 or 100 %.
    ax.legend(loc="center left", bbox_to_anchor=(1.01, 0.5), fontsize=8)
    return save(fig, out_dir, "%s-win-rate.png" % type_name)


def chart_reached(run, type_name, out_dir):
    """Each game's level reached (puzzles solved) per skill, its median and the target range."""
    skills = run.skills(type_name)
    fig, ax = plt.subplots(figsize=(8, 0.6 + 0.7 * max(len(skills), 1)))
    puzzle = type_name == "puzzle"
    for row, skill in enumerate(skills):
        games = run.of(type_name, skill)
        if puzzle:
            values, med = [g.solved(3) for g in games], median_solved(games, 3)
        else:
            values, med = [g.reached(run.last_level) for g in games], median_reached(
                games, run.last_level)
        for t in TARGETS:
            if t.type == type_name and t.skill == skill and t.kind in ("median_reached",
                                                                       "median_solved"):
                hi = t.params.get("max", run.last_level + 1 if not puzzle else len(run.levels))
                ax.add_patch(plt.Rectangle((t.params["min"] - 0.5, row - 0.35),
                                           hi - t.params["min"] + 1, 0.7, color=COLOURS[skill],
                                           alpha=0.15, lw=0))
        counts = collections.Counter(values)
        seen = collections.Counter()
        for v in values:
            # Games with the same value are spread up and down so every one shows.
            k = seen[v]
            seen[v] += 1
            offset = (k - (counts[v] - 1) / 2) * min(0.08, 0.6 / counts[v])
            ax.plot(v, row + offset, "o", ms=4, color=COLOURS[skill], alpha=0.6)
        if med is not None:
            ax.plot(med, row, "D", ms=10, color=COLOURS[skill], mec="black")
    ax.set_yticks(range(len(skills)))
    ax.set_yticklabels(skills)
    ax.set_ylim(-0.6, len(skills) - 0.4)
    ax.grid(True, axis="x", alpha=0.3)
    if puzzle:
        ax.set_xlim(-0.5, len(run.levels) + 0.5)
        ax.set_xlabel("puzzles solved within 3 tries (per game); diamond: median; band: target")
        ax.set_title("Puzzle: puzzles solved per game")
    else:
        ax.set_xlim(run.first_level - 0.5, run.last_level + 1.5)
        ticks = list(range(run.first_level, run.last_level + 1, 2 if len(run.levels) > 10 else 1))
        ax.set_xticks(ticks + [run.last_level + 1])
        ax.set_xticklabels([str(t) for t in ticks] + ["all"])
        ax.set_xlabel("level reached (per game); diamond: median; band: target")
        ax.set_title("%s: level reached" % type_name.capitalize())
    return save(fig, out_dir, "%s-reached.png" % type_name)


def chart_time(run, type_name, out_dir):
    noun = "puzzle" if type_name == "puzzle" else "level"
    fig, ax = plt.subplots(figsize=(9.5, 4))
    for skill in run.skills(type_name):
        games = run.of(type_name, skill)
        times = [time_per_level(games, n) for n in run.levels]
        ax.plot(run.levels, [math.nan if v is None else v for v in times], marker="o", ms=3,
                color=COLOURS[skill], label=skill)
    level_axis(ax, run, noun)
    ax.set_ylim(bottom=0)
    ax.set_ylabel("median game time of won %ss (s)" % noun)
    ax.set_title("%s: time per %s" % (type_name.capitalize(), noun))
    ax.legend(loc="center left", bbox_to_anchor=(1.01, 0.5), fontsize=8)
    return save(fig, out_dir, "%s-time.png" % type_name)


def chart_losses(run, type_name, out_dir):
    skills = run.skills(type_name)
    counts = {s: loss_causes(run.of(type_name, s)) for s in skills}
    causes = sorted({c for cnt in counts.values() for c in cnt})
    fig, ax = plt.subplots(figsize=(7, 1.0 + 0.45 * max(len(skills), 1)))
    for row, skill in enumerate(skills):
        total, left = sum(counts[skill].values()), 0.0
        for cause in causes:
            share = percent(counts[skill][cause], total) or 0.0
            ax.barh(row, share, left=left, color=CAUSE_COLOURS.get(cause, "#999999"),
                    label=cause if row == 0 or not any(counts[s][cause] for s in skills[:row])
                    else None)
            left += share
        ax.text(101, row, "%d losses" % total, va="center", fontsize=8)
    ax.set_yticks(range(len(skills)))
    ax.set_yticklabels(skills)
    ax.set_xlim(0, 120)
    ax.set_xticks(range(0, 101, 25))
    ax.set_xlabel("% of losses")
    ax.set_title("%s: losses by cause" % type_name.capitalize())
    if causes:
        ax.legend(loc="center left", bbox_to_anchor=(1.01, 0.5), fontsize=8)
    return save(fig, out_dir, "%s-losses.png" % type_name)


# The markdown.

def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]
    return lines


def parameters_section(run, rows):
    p = run.params
    seeds = sorted({r["seed"] for r in rows})
    if p.get("seeds"):
        seed_text = "%d per type and skill (%d–%d)" % (
            p["seeds"], p["first_seed"], p["first_seed"] + p["seeds"] - 1)
    elif seeds:
        seed_text = "%d–%d" % (seeds[0], seeds[-1])
    else:
        seed_text = "none"
    items = [("seeds", seed_text),
             ("levels", "%d–%d" % (run.first_level, run.last_level)),
             ("tries at a puzzle", p.get("tries", "as run (not recorded)")),
             ("level attempts", len(rows)),
             ("unfinished attempts", sum(1 for r in rows if r["result"] == "unfinished"))]
    for key, label in (("version", "game"), ("commit", "commit"), ("pack_sha256", "pack SHA-256"),
                       ("date", "run on"), ("seconds", "run time (s)"), ("jobs", "parallel games")):
        if p.get(key) not in (None, ""):
            items.append((label, "`%s`" % p[key] if key in ("commit", "pack_sha256") else p[key]))
    out = ["## Run", ""] + table(["parameter", "value"], items) + [""]
    if p.get("failed"):
        out += ["**%d games failed and are not in the figures:**" % len(p["failed"]), ""]
        out += ["- %s %s seed %s: %s" % (f["type"], f["skill"], f["seed"],
                                         " ".join(f["error"].split())[:200]) for f in p["failed"]]
        out += [""]
    return out


def type_section(run, type_name, charts):
    skills = run.skills(type_name)
    puzzle = type_name == "puzzle"
    noun = "Puzzle" if puzzle else "Level"
    out = ["## %s" % type_name.capitalize(), ""]
    for c in charts:
        out += ["![%s](%s)" % (c.rsplit(".", 1)[0].replace("-", " "), c), ""]
    if puzzle:
        out += ["### Solved within the tries (% of games)", ""]
    else:
        out += ["### Won (% of games; a game that never reached the level did not win it)", ""]
    out += table([noun.lower()] + skills,
                  [[n] + [fmt_pct(win_rate(run.of(type_name, s), n)) for s in skills]
                   for n in run.levels]) + [""]
    if not puzzle:
        out += ["### Won when reached (% of the games that started the level)", ""]
        out += table(["level"] + skills,
                     [[n] + [fmt_pct(win_rate_when_reached(run.of(type_name, s), n))
                             for s in skills] for n in run.levels]) + [""]
        out += ["### Level reached (highest level started per game)", ""]
        rows = []
        for s in skills:
            reached = [g.reached(run.last_level) for g in run.of(type_name, s)]
            rows.append([s, len(reached), fmt_reached(median_reached(run.of(type_name, s),
                                                                     run.last_level),
                                                      run.last_level),
                         fmt_reached(min(reached), run.last_level),
                         fmt_reached(max(reached), run.last_level)])
        out += table(["skill", "games", "median", "lowest", "highest"], rows) + [""]
    else:
        out += ["### Puzzles solved per game", ""]
        rows = [[s, len(run.of(type_name, s)),
                 fmt_num(median_solved(run.of(type_name, s), 3)),
                 fmt_num(median_solved(run.of(type_name, s)))] for s in skills]
        out += table(["skill", "games", "median within 3 tries", "median within the run's tries"],
                     rows) + [""]
    out += ["### Time per %s (median game time of the won ones, s)" % noun.lower(), ""]
    out += table([noun.lower()] + skills,
                  [[n] + [fmt_num(time_per_level(run.of(type_name, s), n), 1) for s in skills]
                   for n in run.levels]) + [""]
    out += ["### Losses by cause", ""]
    counts = {s: loss_causes(run.of(type_name, s)) for s in skills}
    causes = sorted({c for cnt in counts.values() for c in cnt})
    rows = []
    for s in skills:
        total = sum(counts[s].values())
        rows.append([s, total] + ["%s (%d)" % (fmt_pct(percent(counts[s][c], total)), counts[s][c])
                                  for c in causes])
    out += table(["skill", "losses"] + causes, rows) + [""]
    return out


def targets_section(run):
    out = ["## Targets", ""]
    rows = []
    for t in TARGETS:
        if t.type not in run.games:
            continue
        text, measured, met = evaluate(t, run)
        rows.append([t.type, text, measured, verdict(met)])
    if not rows:
        return out + ["No game type with targets was played.", ""]
    out += table(["type", "target", "measured", ""], rows) + [""]
    out += ["A loss ends an arcade or challenge game, so its win rate cannot rise from one level "
            "to the next; the rise is judged on the table \"won when reached\", which shows each "
            "level's own difficulty.", ""]
    return out


def load_params(csv_path):
    path = os.path.join(os.path.dirname(os.path.abspath(csv_path)), RUN_FILE)
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return {}


def write_report(csv_path, out_dir):
    """Writes out_dir/report.md and its charts; returns the report's path."""
    rows = read_rows(csv_path)
    run = Run(rows, load_params(csv_path))
    os.makedirs(out_dir, exist_ok=True)
    lines = ["# Playtest report", "",
             "Seeded headless games by the built-in player at each skill, from "
             "`tools/playtest/playtest.py`; one row per level attempt in the CSV.", ""]
    lines += targets_section(run)
    lines += parameters_section(run, rows)
    for type_name in TYPES:
        if type_name not in run.games:
            continue
        charts = [chart_win_rate(run, type_name, out_dir), chart_reached(run, type_name, out_dir),
                  chart_time(run, type_name, out_dir), chart_losses(run, type_name, out_dir)]
        lines += type_section(run, type_name, charts)
    path = os.path.join(out_dir, "report.md")
    with open(path, "w") as f:
        f.write("\n".join(lines).rstrip("\n") + "\n")
    return path


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: report.py LEVELS.CSV OUT_DIR")
    print(write_report(sys.argv[1], sys.argv[2]))


if __name__ == "__main__":
    main()
