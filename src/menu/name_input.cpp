#include "menu/name_input.h"

#include "base/text_util.h"
#include "platform/virtual_key.h"

namespace qv {

namespace {

using platform::VirtualKey;

constexpr const char* kNameTaken = "text\\name_already_exists.txt";
constexpr const char* kEnterName = "text\\please_enter_name.txt";

// The character a key enters, or 0.
char KeyChar(int key, int shift) {
  if (key >= VirtualKey::A && key <= VirtualKey::Z)
    return static_cast<char>((shift & 1) ? key : key - VirtualKey::A + 'a');
  if (key >= VirtualKey::Digit0 && key <= VirtualKey::Digit9) return static_cast<char>(key);
  if (key == VirtualKey::Minus) return '-';
  if (key == VirtualKey::Delete || key == VirtualKey::Period) return '.';
  if (key == VirtualKey::Space) return ' ';
  return 0;
}

NameOutcome ShowMessage(const char* file, bool hide_title) {
  NameOutcome out;
  out.action = NameOutcome::Message;
  out.message = file;
  out.hide_title = hide_title;
  return out;
}

NameOutcome Cancel(NameMode mode, std::vector<Player>& players, int& current,
                   PlayerListView& view, bool confirmed) {
  NameOutcome out;
  if (mode != NameMode::FirstRun) {
    view.return_to_list = true;
    out.action = NameOutcome::PlayerList;
    return out;
  }
  if (players.empty()) return ShowMessage(kEnterName, false);
  if (confirmed) return out;  // an empty first name with players present: nothing to do
  if (!ValidPlayerIndex(current, static_cast<int>(players.size()))) {
    current = 0;
    out.index_changed = true;
  }
  out.action = NameOutcome::MainMenu;
  return out;
}

}  // namespace

bool NameKey(std::string& buffer, int key, int shift) {
  if (key == VirtualKey::Backspace) {
    if (buffer.empty()) return false;
    buffer.pop_back();
    return true;
  }
  const char c = KeyChar(key, shift);
  if (c == 0 || static_cast<int>(buffer.size()) >= kNameLength) return false;
  buffer += c;
  const std::size_t first = buffer.find_first_not_of(' ');
  buffer.erase(0, first == std::string::npos ? buffer.size() : first);
  return true;
}

int FindPlayer(const std::vector<Player>& players, std::string_view name, int except) {
  for (int i = 0; i < static_cast<int>(players.size()); ++i) {
    if (i != except && players[i].name == name) return i;
  }
  return -1;
}

NameOutcome FinishNameInput(NameMode mode, const std::string& buffer, bool confirm,
                            std::vector<Player>& players, int& current, PlayerListView& view) {
  const std::string name(txt::Trim(buffer));
  if (!confirm || name.empty()) return Cancel(mode, players, current, view, confirm);

  NameOutcome out;
  switch (mode) {
    case NameMode::FirstRun: {
      int index = FindPlayer(players, name);
      if (index < 0) {
        players.push_back(FirstRunPlayer(name));
        index = static_cast<int>(players.size()) - 1;
        out.players_changed = true;
      }
      current = index;
      out.index_changed = true;
      out.action = NameOutcome::MainMenu;
      return out;
    }
    case NameMode::Create: {
      if (FindPlayer(players, name) >= 0) return ShowMessage(kNameTaken, true);
      players.push_back(ListPlayer(name));
      PlaceCursor(view, static_cast<int>(players.size()) - 1);
      break;
    }
    case NameMode::Rename: {
      if (!ValidPlayerIndex(view.cursor, static_cast<int>(players.size()))) {
        return Cancel(mode, players, current, view, false);
      }
      if (FindPlayer(players, name, view.cursor) >= 0) return ShowMessage(kNameTaken, false);
      players[view.cursor].name = name;
      break;
    }
  }
  out.players_changed = true;
  view.return_to_list = true;
  out.action = NameOutcome::PlayerList;
  return out;
}

}  // namespace qv
