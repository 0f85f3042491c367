#pragma once
// The frame loop: the timer tick, the render-frame sequence, the frame step with its clocks and
// catch-up loop, the scene switch and the render pass.
#include <cstdint>

#include "base/expected.h"
#include "platform/render_device.h"
#include "shell/scene_table.h"

namespace qv {

struct Context;

// The screen the game draws is the device's.
using platform::kScreenHeight;
using platform::kScreenWidth;

// Budget added per catch-up step: n steps have run once 267 * n >= move_cnt * elapsed ms.
constexpr std::int64_t kStepCost = 267;
// Most catch-up steps one frame step runs: ten seconds of steps at move_cnt 16. Steps still
// owed are run by the following frame steps.
constexpr int kMaxCatchUpSteps = 600;

// The timer tick: runs the render-frame sequence when the device is ready and the window not
// minimised. A failing sequence ends the program (quit_requested, exit code 1). A log write that
// failed during the frame is shown in an error box once the frame is done; an exception from a
// library ends only the frame and is shown the same way.
void TimerTick(Context& ctx);
// Fails when the device cannot present the frame.
Expected<void> RenderFrameSequence(Context& ctx);
// One frame step: clocks, scene switch, scene dispatch, frame cap.
void StepFrame(Context& ctx);
// The scene whose frame the next timer tick will run, at the clock's present reading (after a
// pending switch); SceneId::None when the tick runs no scene frame. Input sources that act once
// per scene frame ask it before the tick (the built-in player).
SceneId SceneFrameDue(const Context& ctx);
// The render pass: the draw list collected and drawn on the device.
void RenderScene(Context& ctx);
// The shell's share of entering the menu scene: "StartSceneMenu" logged, the pause cleared,
// the options read again, no button hovered or pressed, clicks to the main page, the run clock
// restarted; ends with scene_ready set. The menu's start wraps it.
void EnterMenuScene(Context& ctx);
// Leaves the active scene and starts target (either may be SceneId::None).
void SwitchScene(Context& ctx, SceneId target);

}  // namespace qv
