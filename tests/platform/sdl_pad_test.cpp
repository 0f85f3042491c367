// The SDL back end's game controllers: button and axis numbers, and a controller plugged in,
// used and pulled out while the window runs (SDL's virtual controller stands in for a real one).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/sdl/sdl_pad.h"
#include "platform/sdl/sdl_window.h"
#include "platform/window.h"

namespace qv::platform {
namespace {

TEST(SdlPadTest, ButtonsAndAxesTheGameUses) {
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_A), kPadA);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_B), kPadB);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_START), kPadStart);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_BACK), kPadBack);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_DPAD_UP), kPadUp);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_DPAD_DOWN), kPadDown);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_DPAD_LEFT), kPadLeft);
  EXPECT_EQ(sdl::PadButtonFromSdl(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), kPadRight);
  for (const auto unused : {SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
                            SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_LEFTSHOULDER}) {
    EXPECT_EQ(sdl::PadButtonFromSdl(static_cast<std::uint8_t>(unused)), -1);
  }
  EXPECT_EQ(sdl::PadAxisFromSdl(SDL_CONTROLLER_AXIS_LEFTX), kPadLeftX);
  EXPECT_EQ(sdl::PadAxisFromSdl(SDL_CONTROLLER_AXIS_LEFTY), kPadLeftY);
  EXPECT_EQ(sdl::PadAxisFromSdl(SDL_CONTROLLER_AXIS_RIGHTX), -1);
  EXPECT_EQ(sdl::PadAxisFromSdl(SDL_CONTROLLER_AXIS_TRIGGERLEFT), -1);
}

std::vector<WindowEvent> Drain(Window& window) {
  std::vector<WindowEvent> out;
  WindowEvent e;
  while (window.PollEvent(e)) out.push_back(e);
  return out;
}

TEST(SdlPadTest, HotPluggedControllerReportsButtonsSticksAndRemoval) {
  ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
  // The offscreen window never has the focus; SDL drops controller input of unfocused windows.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  {
    std::unique_ptr<sdl::SdlWindow> window = sdl::SdlWindow::Create();
    ASSERT_TRUE(window) << SDL_GetError();
    Drain(*window);

    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1u;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1u;
    desc.name = "test pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) GTEST_SKIP() << "no virtual controllers here: " << SDL_GetError();
    Drain(*window);  // the arrival: the window opens the controller
    SDL_Joystick* joy = SDL_JoystickOpen(index);
    ASSERT_NE(joy, nullptr);

    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_X, 1);  // not the game's
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickUpdate();
    bool a_down = false, stick = false, other = false;
    for (const WindowEvent& e : Drain(*window)) {
      if (e.type == WindowEvent::Type::PadButtonDown && e.button == kPadA) a_down = true;
      if (e.type == WindowEvent::Type::PadAxisMotion && e.button == kPadLeftX &&
          e.value == 32767) {
        stick = true;
      }
      if (e.type == WindowEvent::Type::PadButtonDown && e.button != kPadA) other = true;
    }
    EXPECT_TRUE(a_down) << "A went down";
    EXPECT_TRUE(stick) << "the left stick moved";
    EXPECT_FALSE(other) << "X is not the game's";

    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickUpdate();
    bool a_up = false;
    for (const WindowEvent& e : Drain(*window)) {
      if (e.type == WindowEvent::Type::PadButtonUp && e.button == kPadA) a_up = true;
    }
    EXPECT_TRUE(a_up);

    SDL_JoystickClose(joy);
    SDL_JoystickDetachVirtual(index);
    bool removed = false;
    for (const WindowEvent& e : Drain(*window)) {
      if (e.type == WindowEvent::Type::PadRemoved) removed = true;
    }
    EXPECT_TRUE(removed) << "pulling the controller out lets go of what it held";
  }
  SDL_Quit();
}

}  // namespace
}  // namespace qv::platform
