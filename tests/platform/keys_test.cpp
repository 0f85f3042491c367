// SDL keys to Windows virtual-key codes and the shift state.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/sdl/keys.h"

namespace qv::platform::sdl {
namespace {

TEST(VirtualKeyTest, TranslatesTheKeysTheGameReads) {
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 65);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 90);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), 48);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_9), 57);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), 13);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), 13);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_BACKSPACE), 8);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 32);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 37);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), 38);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), 39);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 40);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_MINUS), 189);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_PERIOD), 190);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_DELETE), 46);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 96);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 105);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 112);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 123);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), 16);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_VOLUMEUP), 0) << "keys with no code are dropped";
}

TEST(VirtualKeyTest, ShiftStateBits) {
  EXPECT_EQ(ShiftStateFromSdl(KMOD_NONE), 0);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_LSHIFT), 1);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_RSHIFT | KMOD_CAPS), 1);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_LALT), 2);
  EXPECT_EQ(ShiftStateFromSdl(KMOD_RCTRL | KMOD_LSHIFT), 5);
}

}  // namespace
}  // namespace qv::platform::sdl
