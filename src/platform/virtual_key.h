#pragma once
// Windows virtual-key codes: the numbers key presses carry from the window to the scenes, and
// the numbers scripts and recordings write. The one table of them; compare keys by these names.
namespace qv::platform {

struct VirtualKey {
  static constexpr int Backspace = 8;
  static constexpr int Tab = 9;
  static constexpr int Enter = 13;
  static constexpr int Shift = 16;
  static constexpr int Control = 17;
  static constexpr int Alt = 18;
  static constexpr int Pause = 19;
  static constexpr int CapsLock = 20;
  static constexpr int Escape = 27;
  static constexpr int Space = 32;
  static constexpr int PageUp = 33;
  static constexpr int PageDown = 34;
  static constexpr int End = 35;
  static constexpr int Home = 36;
  static constexpr int Left = 37;
  static constexpr int Up = 38;
  static constexpr int Right = 39;
  static constexpr int Down = 40;
  static constexpr int Insert = 45;
  static constexpr int Delete = 46;
  static constexpr int Digit0 = 48;  // to Digit9 = 57, as the characters '0'..'9'
  static constexpr int Digit9 = 57;
  static constexpr int A = 65;  // to Z = 90, as the capitals
  static constexpr int Z = 90;
  static constexpr int Numpad0 = 96;  // to Numpad9 = 105
  static constexpr int Multiply = 106;
  static constexpr int Add = 107;
  static constexpr int Subtract = 109;
  static constexpr int Decimal = 110;
  static constexpr int Divide = 111;
  static constexpr int F1 = 112;  // to F12 = 123
  static constexpr int Semicolon = 186;
  static constexpr int Equals = 187;
  static constexpr int Comma = 188;
  static constexpr int Minus = 189;
  static constexpr int Period = 190;
  static constexpr int Slash = 191;
  static constexpr int Backquote = 192;
  static constexpr int LeftBracket = 219;
  static constexpr int Backslash = 220;
  static constexpr int RightBracket = 221;
  static constexpr int Quote = 222;
};

}  // namespace qv::platform
