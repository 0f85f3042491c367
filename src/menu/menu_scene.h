#pragma once
// The menu scene: the main menu and its pages (game type, options, help, high scores, player
// list, name input, exit question), built from maps and text files and driven by the hovered
// button, clicks, keys and the menu command they leave for the next frame.
#include <cstdint>

namespace qv {

struct Context;
class JsonWriter;
struct SceneOps;

// The menu's row of the scene table (the loading screen runs in front of its frames).
void FillMenuScene(SceneOps& ops);
// The scene starts: its run values reset, the shell's share, the loading screen's backdrop, and
// the menu's music again when the menu is entered after loading.
void StartSceneMenu(Context& ctx);

// The scene frame: the loading screen until it is done, the first-entry set-up, the dialog
// fade, the main menu's first fade-in, hover, the pending command, the volume bars, the
// per-frame update of every object and particle, and a requested fullscreen switch.
void MenuFrame(Context& ctx);
// Unloads the menu's pages when the game scene starts.
void LeaveSceneMenu(Context& ctx);
// A mouse button went down: when no button was under the pointer at the last frame, the hover
// is taken again at the pointer's present place.
void MenuMouseDown(Context& ctx, int button);
// Mouse-up over the pressed button, by click context.
void MenuClick(Context& ctx);
// A key press: Enter and Escape press the context's buttons, other keys become
// MenuCommand::Key.
void MenuKeyDown(Context& ctx, int key, int shift);

// The high-score page, also opened by the game scene at the end of a game: then the table of
// the type just played comes up with the game's result (current player, level and score)
// entered. Sets ClickContext::HighScoreTable.
void OpenScoresPage(Context& ctx, bool from_game);
// Hover of the scores page (both scenes run it each frame while it is open).
void ScoresHover(Context& ctx);
// A click on the scores page; true for OK (button 3), which the opener then handles.
bool ScoresPageClick(Context& ctx, int button);

// The current player, made valid first (an index outside the list becomes 0 and is written);
// null when there are no players. Changes to it are kept by SavePlayers.
struct Player* CurrentPlayer(Context& ctx);
// Writes "players.txt"; a failure shows an error box and the game goes on.
void SavePlayers(Context& ctx);

// The continue-last-game dialog over the game scene for game type `type` (1..3), offered as
// starting that type would offer it; false when there is no player. Its hover is the menu's
// (MenuHover with ClickContext::ContinueDialog); the answer is written to the players file by
// RecordContinueAnswer, after which the caller starts the type from the saved progress.
bool OpenContinueOverGame(Context& ctx, int type);
void RecordContinueAnswer(Context& ctx, bool yes);
void MenuHover(Context& ctx);

// The options file named a volume (music true for "music_volume"): the options page forgets the
// bars it drew, so it draws them again and applies and writes the volume anew.
void VolumeOptionRead(Context& ctx, bool music);

// The sample handles resolved at the menu's first entry, by table number 1..35.
std::int64_t MenuSample(const Context& ctx, int number);

// Harness state sections "menu" and "records".
void WriteMenuSection(const Context& ctx, JsonWriter& out);
void WriteRecordsSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
