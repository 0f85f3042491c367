#pragma once
// Level files of the three game types, the game start, the level build and the rules in which
// the types differ: how the field descends, when a level is won and when the game is lost.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/data_error.h"
#include "game/game_state.h"

namespace qv {

struct Context;
struct Options;

// "levels\arcade-07.ini", "levels\challenge-12.ini", "levels\puzzle-03.ini".
std::string LevelFileName(GameType game_type, int level);

// An arcade or challenge level file. `time` is the climb time (arcade) or the drain interval
// (challenge); `real` the level point divisor or the challenge factor.
struct TimedLevelFile {
  int time = 0;
  double real = 0;
  int colours = 0;
  std::vector<int> items;
  int new_item = 0;
  std::vector<std::string> description;
};

// A puzzle level file: the layout rows top to bottom, as written.
struct PuzzleLevelFile {
  int shots_per_descent = 0;
  int shift = 0;  // 1: the top layout row is a 12-row
  std::vector<std::string> rows;
  std::vector<int> items;
  int new_item = 0;
  std::vector<std::string> description;
  int crystals = 0;
  std::vector<int> colours;  // distinct, in order of first appearance
};

// The lines that count: comment from the first ";" cut, trimmed, empty lines skipped. Each
// keeps its 1-based line number in the file for error messages.
struct CountedLine {
  std::string text;
  int line = 0;
};
std::vector<CountedLine> CountedLines(std::string_view data);

// Comma-separated items, each trimmed; the list ends at an empty field or a value outside
// 1..10. A field that is no integer is an error.
Expected<std::vector<int>> ParseBonusItems(std::string_view file, const CountedLine& line);

Expected<TimedLevelFile> ParseTimedLevel(std::string_view file, std::string_view data);
// A layout that frees nothing (no crystal) or gives the cannon nothing to load (no colour ball)
// cannot be played and is reported like any other malformed file.
Expected<PuzzleLevelFile> ParsePuzzleLevel(std::string_view file, std::string_view data);

// Reads the level file of the current arcade or challenge level into the level state and sets
// the last level.
Expected<void> LoadLevelHeader(Context& ctx);
// Puts the puzzle layout into the field; returns the shift of the top layout row.
Expected<int> BuildPuzzleLevel(Context& ctx, std::string_view file);

// The first frame of the game scene: level and score from the player's saved progress.
void GameStart(Context& ctx);
// Builds the level the level-start flag asks for. A level that cannot be read is reported and
// the game returns to the menu; false then.
bool LevelBuild(Context& ctx);

// The descent of one frame by the type's rules. `allowed` false: no descent this frame.
// `delay` ms until the next descent may run (0: the next frame).
struct DescentChoice {
  bool allowed = false;
  int n = 0;
  int delay = 0;
};
DescentChoice ChooseDescent(GameType game_type, int lowest_row, int floor_row, int budget,
                            int climb_time, const Options& options);

// Challenge: the field is pushed back up above the floor row.
bool ChallengeClimbWanted(const BallField& field);
bool LevelWonNow(const GameState& game);
// The loss condition of the type (row 0, row -1 or an empty progress strip).
bool LossDetected(const GameState& game);
// While a deadline runs: the condition that keeps it (arcade and puzzle: row 0 still occupied).
bool LossStillHolds(const GameState& game);
// Loss deadline from now: arcade 5000 ms later, challenge 500, puzzle at once.
int LossDelay(GameType game_type);

// The current player's saved progress for the current game type, read afresh: changes to it
// are kept by WritePlayers, which hands it back and writes the players file.
TypeProgress& Progress(Context& ctx);
void WritePlayers(Context& ctx);
// Save progress: saved level and score from the game, checkpoint at multiples of 5.
void SaveProgress(Context& ctx);

}  // namespace qv
