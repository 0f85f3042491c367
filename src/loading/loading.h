#pragma once
// Start-up after the window exists: the loading set-up of the first frame, the logo and the
// loading screen that the menu frame runs, and the list files.
#include <optional>
#include <string_view>

#include "base/expected.h"

namespace qv {

struct Context;
class JsonWriter;

// Reads a list file into the load list (".msl" is added when the name has no extension);
// append false clears the list first. A missing file adds nothing and returns the error.
Expected<void> ReadList(Context& ctx, std::string_view name, bool append);
// Loads one resource line: audio to the audio table, ".m3d" skipped, anything else to the
// sprite prototype cache (once per path).
void LoadResourceLine(Context& ctx, std::string_view line);

// The one-time set-up of the first frame step; ends by switching to the menu scene.
void LoadingSetup(Context& ctx);
// The menu scene starts: the backdrop shows, and the logo starts unless it ran before.
void ShowLoadingScreen(Context& ctx);
// Every entry is loaded; the menu takes over from the loading screen.
bool LoadingDone(const Context& ctx);
// Loading has taken its first entry (the menu is entered again, not for the first time).
bool LoadingBegun(const Context& ctx);
// Start of every menu frame until loading is done. True when the menu frame must end here
// (the logo is animating, or entries are still loading). The step that loads the last entry
// makes LoadingDone true and returns false.
bool LoadingScreenStep(Context& ctx);
// The loading screen still has work: the logo runs or entries remain.
bool LoadingEntriesRemain(const Context& ctx);

// Progress bar: pixels filled after entry load_index of entries (a single entry fills it).
int LoadingProgress(int load_index, int entries);

// Harness state section "loading".
void WriteLoadingSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
