#pragma once
// The menu scene's pages, shared by its frame, hover and input files.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "shell/scene_protocol.h"

namespace qv {

struct Context;

inline constexpr const char* kFontTaurus1 = "graphics\\fonts\\font_taurus1.spr";
inline constexpr const char* kFontTaurus2 = "graphics\\fonts\\font_taurus2.spr";
// The menu's music changes fade out and in over this.
inline constexpr int kMenuMusicFadeMs = 250;
// Map tags of the main menu's buttons and of the high-score page.
inline constexpr const char* kMainMenuTag = "menu_buttons_mainmenu";
inline constexpr const char* kScoresPageTag = "menu_scores";

// Small shared helpers.
void SetCommand(Context& ctx, MenuCommand command);
// The command that starts game type `type` (1 arcade, 2 challenge, 3 puzzle).
MenuCommand StartCommandFor(int type);
// A menu row's moving piece: both groups cycle while hovered, rest otherwise.
void AnimateMovepart(Context& ctx, int slot, bool group0, bool group1);
// Writes one options key; a failure is reported and the game goes on.
void WriteOptionSafely(Context& ctx, std::string_view key, int value);

// Frame parts.
void MenuHover(Context& ctx);
void RunMenuCommand(Context& ctx);
// The keys of a pending MenuCommand::Key, applied now (also before a confirm that must see
// them); clears the command.
void ApplyPendingKeys(Context& ctx);
void DrawVolumeBars(Context& ctx);
void HelpDemoStep(Context& ctx);

// Pages.
void BuildWelcomeText(Context& ctx);
// Builds it again on the main menu as it shows now: the new objects take the alpha of the old
// and join a fade under way.
void RefreshWelcomeText(Context& ctx);
void ShowMainMenu(Context& ctx);
void ShowHelpPage(Context& ctx, int page);
void OpenPlayerList(Context& ctx);
void DrawPlayerList(Context& ctx);
void OpenDeleteConfirm(Context& ctx);
void OpenNameInput(Context& ctx);
void DrawName(Context& ctx);
void FinishName(Context& ctx, bool confirm);
void CloseNameMessage(Context& ctx);
void StartGameType(Context& ctx);
void OpenContinueDialog(Context& ctx, bool after_loss);
void AnswerContinue(Context& ctx, bool yes);
void OpenDialogButtons(Context& ctx, std::string_view tag,
                       std::initializer_list<std::string_view> names);
void ShowScoresTable(Context& ctx, bool enter_result);

// Clicks by context.
void MenuClickButton(Context& ctx, int button);
void PlayerListClick(Context& ctx, int button);
void DeleteConfirmClick(Context& ctx, int button);

}  // namespace qv
