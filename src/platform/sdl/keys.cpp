#include "platform/sdl/keys.h"

#include <SDL.h>

#include "platform/virtual_key.h"
#include "platform/window.h"

namespace qv::platform::sdl {

int VirtualKeyFromSdl(std::int32_t k) {
  if (k >= SDLK_a && k <= SDLK_z) return VirtualKey::A + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return VirtualKey::Digit0 + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VirtualKey::F1 + (k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VirtualKey::Numpad0 + 1 + (k - SDLK_KP_1);
  switch (k) {
    case SDLK_BACKSPACE:
      return VirtualKey::Backspace;
    case SDLK_TAB:
      return VirtualKey::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return VirtualKey::Enter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VirtualKey::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VirtualKey::Control;
    case SDLK_LALT:
    case SDLK_RALT:
      return VirtualKey::Alt;
    case SDLK_PAUSE:
      return VirtualKey::Pause;
    case SDLK_CAPSLOCK:
      return VirtualKey::CapsLock;
    case SDLK_ESCAPE:
      return VirtualKey::Escape;
    case SDLK_SPACE:
      return VirtualKey::Space;
    case SDLK_PAGEUP:
      return VirtualKey::PageUp;
    case SDLK_PAGEDOWN:
      return VirtualKey::PageDown;
    case SDLK_END:
      return VirtualKey::End;
    case SDLK_HOME:
      return VirtualKey::Home;
    case SDLK_LEFT:
      return VirtualKey::Left;
    case SDLK_UP:
      return VirtualKey::Up;
    case SDLK_RIGHT:
      return VirtualKey::Right;
    case SDLK_DOWN:
      return VirtualKey::Down;
    case SDLK_INSERT:
      return VirtualKey::Insert;
    case SDLK_DELETE:
      return VirtualKey::Delete;
    case SDLK_KP_0:
      return VirtualKey::Numpad0;
    case SDLK_KP_MULTIPLY:
      return VirtualKey::Multiply;
    case SDLK_KP_PLUS:
      return VirtualKey::Add;
    case SDLK_KP_MINUS:
      return VirtualKey::Subtract;
    case SDLK_KP_PERIOD:
      return VirtualKey::Decimal;
    case SDLK_KP_DIVIDE:
      return VirtualKey::Divide;
    case SDLK_SEMICOLON:
      return VirtualKey::Semicolon;
    case SDLK_EQUALS:
      return VirtualKey::Equals;
    case SDLK_COMMA:
      return VirtualKey::Comma;
    case SDLK_MINUS:
      return VirtualKey::Minus;
    case SDLK_PERIOD:
      return VirtualKey::Period;
    case SDLK_SLASH:
      return VirtualKey::Slash;
    case SDLK_BACKQUOTE:
      return VirtualKey::Backquote;
    case SDLK_LEFTBRACKET:
      return VirtualKey::LeftBracket;
    case SDLK_BACKSLASH:
      return VirtualKey::Backslash;
    case SDLK_RIGHTBRACKET:
      return VirtualKey::RightBracket;
    case SDLK_QUOTE:
      return VirtualKey::Quote;
    default:
      return 0;
  }
}

int ShiftStateFromSdl(std::uint16_t mod) {
  int shift = 0;
  if (mod & KMOD_SHIFT) shift |= kShiftShift;
  if (mod & KMOD_ALT) shift |= kShiftAlt;
  if (mod & KMOD_CTRL) shift |= kShiftCtrl;
  return shift;
}

}  // namespace qv::platform::sdl
