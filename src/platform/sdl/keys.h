#pragma once
// SDL key codes to the Windows virtual-key codes the game's key handlers expect.
#include <cstdint>

namespace qv::platform::sdl {

// 0 for keys the game never sees.
int VirtualKeyFromSdl(std::int32_t sdl_keycode);
// SDL modifier bits to the shift state (bit 0 Shift, bit 1 Alt, bit 2 Ctrl).
int ShiftStateFromSdl(std::uint16_t sdl_mod);

}  // namespace qv::platform::sdl
