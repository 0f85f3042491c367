#pragma once
// The main window (TMainForm on the render application TD3DApplication). State lives in the
// context, so the render application's overridables are operations on it:
//   OneTimeSetup             success (not overridden)
//   InitDeviceObjects        below
//   ReleaseDeviceObjects     below
//   RenderScene, StepFrame   shell/frame.h
//   RestoreDeviceSurfaces    success (SDL keeps its surfaces)
//   ShutdownScene            success, called by CloseMainWindow
//   suspend, resume, PauseChanged: nothing to do on this platform
//   the timer tick           TimerTick, shell/frame.h
#include <string>
#include <string_view>

#include "base/expected.h"

namespace qv {

struct Context;

// The device's messages: "Could not create the Direct3DDevice object." etc.
enum class DeviceFailure {
  OutOfMemory,
  NoDisplaySystem,
  NoCompatibleDevice,
  DeviceCreation,
  BadDisplayMode,
  Generic
};
std::string DeviceErrorText(DeviceFailure failure, bool must_exit);

void InitDeviceObjects(Context& ctx);
void ReleaseDeviceObjects(Context& ctx);
// Creates the device for the window in the configured mode, then InitDeviceObjects. Shows the
// informational box when the device fell back to the software renderer. The error is the
// must-exit message for the device's failure.
Expected<void> CreateDevice(Context& ctx);
// Re-creates the device after the windowed flag changed; on failure shows the must-exit
// message and quits.
void ChangeDisplay(Context& ctx);
void FullScreenChange(Context& ctx);
// The display switch of the controller's Back button: like the menu's, but for this run only
// (options.txt is not written).
void ToggleFullscreenForRun(Context& ctx);
// The device asked for its objects again (render targets or device reset).
void DeviceReset(Context& ctx);

void AppActivate(Context& ctx);
void AppDeactivate(Context& ctx);
void AppMinimize(Context& ctx);
void AppRestore(Context& ctx);

void FormMouseDown(Context& ctx, int button);
void FormMouseMove(Context& ctx);
void FormMouseUp(Context& ctx, int button);
void FormKeyDown(Context& ctx, int key, int shift);
void UpdateMouse(Context& ctx, bool clip);

// Caption, the tables the game reads at start-up (StartupHooks::read_tables), StartProgram. False
// when the program cannot start: the message has been shown.
bool FormCreate(Context& ctx);
bool StartProgram(Context& ctx);
// Seeds the program-wide random generator from the clock, or with --seed N when given. Start-up
// and every level build seed through this.
void SeedRandom(Context& ctx);
// The window's destruction: the timer stops, device objects and device go, ShutdownScene.
void CloseMainWindow(Context& ctx);

}  // namespace qv
