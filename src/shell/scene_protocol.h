#pragma once
// What travels between the input handlers, the dialogs and the two scenes: the page or dialog
// that takes clicks, and the one request left for the next scene frame to carry out. The
// enumerators keep the numbers the state dump, the recorded runs and the harness contract show.
#include <variant>

namespace qv {

// The page or dialog that receives clicks and Enter/Escape; one value for both scenes.
enum class ClickContext : int {
  Playing = 0,  // the game's field; in the menu no page takes clicks yet
  MainMenu = 1,
  GameTypePage = 2,
  GameTypeExplanation = 3,
  Options = 4,
  HighScoreTable = 5,
  Help = 6,
  GameOverNotice = 7,
  LevelStatistics = 8,
  ExitQuestion = 10,  // the menu's: leave the program
  NameInput = 11,
  NameMessage = 12,
  PlayerList = 13,
  DeleteConfirmation = 14,
  TryAgain = 15,
  ExitToMenu = 16,  // the game's: leave for the menu
  ContinueDialog = 17,
};

// Requests the game frame carries out.
enum class GameCommand : int {
  None = 0,
  Key = 1,
  ReturnToMenu = 3,
  Click = 8,
  TryAgain = 14,
  NextLevel = 15,
  LevelWon = 18,
  HighScoreTable = 23,
  PlayAgain = 24,
  ExitQuestion = 25,
  ContinueDialog = 26,
};

// Requests the menu frame carries out: mostly page changes.
enum class MenuCommand : int {
  None = -1,
  Key = 1,
  GameTypePage = 2,
  MainMenu = 3,
  StartArcade = 4,
  StartChallenge = 5,
  StartPuzzle = 6,
  Options = 9,
  Scores = 10,
  Help = 11,
  FullscreenToggle = 12,
  GameTypeExplanation = 13,
  MusicVolumeStep = 16,
  SoundVolumeStep = 17,
  ExitQuestion = 19,
  NameInput = 20,
  PlayerList = 21,
  DeleteConfirmation = 22,
  ContinueAfterLoss = 26,
  Continue = 27,
  ExplanationsToggle = 28,
};

// The one pending request: a command of the game or of the menu, carried out once by that
// scene's next frame. Each scene's frame leaves its own None behind, and the dump tells the two
// apart (0 and -1), so "nothing pending" is kept per scene too. A request meant for the other
// scene is nothing to the scene that finds it.
class PendingCommand {
 public:
  constexpr PendingCommand() = default;
  constexpr PendingCommand(GameCommand c) : value_(c) {}  // NOLINT: a command is a request
  constexpr PendingCommand(MenuCommand c) : value_(c) {}  // NOLINT

  // The game's request, GameCommand::None when there is none or it is the menu's.
  constexpr GameCommand ForGame() const {
    const GameCommand* c = std::get_if<GameCommand>(&value_);
    return c ? *c : GameCommand::None;
  }
  constexpr MenuCommand ForMenu() const {
    const MenuCommand* c = std::get_if<MenuCommand>(&value_);
    return c ? *c : MenuCommand::None;
  }
  // Nothing pending, whichever scene cleared it.
  constexpr bool IsNone() const {
    return value_ == Value{GameCommand::None} || value_ == Value{MenuCommand::None};
  }
  // The number the state dump writes.
  constexpr int Code() const {
    return std::visit([](auto c) { return static_cast<int>(c); }, value_);
  }

  constexpr bool operator==(const PendingCommand&) const = default;

 private:
  using Value = std::variant<GameCommand, MenuCommand>;
  // The program starts with the game's "none", as the command variable always has.
  Value value_{GameCommand::None};
};

}  // namespace qv
