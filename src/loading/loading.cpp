#include "loading/loading.h"

#include <algorithm>
#include <exception>
#include <string>
#include <unordered_set>

#include "audio/audio.h"
#include "base/data_error.h"
#include "base/json_writer.h"
#include "base/log.h"
#include "base/resource_line.h"
#include "base/round.h"
#include "base/text.h"
#include "base/text_util.h"
#include "context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "scene/cursor.h"
#include "scene/registry.h"
#include "shell/frame.h"
#include "shell/options_file.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace qv {

namespace {

constexpr const char* kLogoSet[] = {
    "graphics\\logo set\\bubble_top.spr",      "graphics\\logo set\\bubble_bottom.spr",
    "graphics\\logo set\\earth_traectory.spr", "graphics\\logo set\\flash_text.spr",
    "graphics\\logo set\\earth_flash.spr",
};
constexpr const char* kBarElement = "graphics\\elements_gamezone\\loading_element_polosa.spr";
constexpr int kBarLeft = 170;
constexpr int kBarTop = 334;
constexpr int kBarPixels = 460;
constexpr int kElementWidth = 12;
// The logo's bubbles close in from these heights, each moving this far while fading in.
constexpr int kTopBubbleStartY = 57;
constexpr int kBottomBubbleStartY = 259;
constexpr int kBubbleTravel = 74;
// The logo waits for the orbit's and then the earth flash's first part to pass these frames.
constexpr int kOrbitPosition = 23;
constexpr int kFlashPosition = 10;

std::uint32_t CurrentTicks(Context& ctx) {
  return ctx.platform.clock != nullptr ? ctx.platform.clock->TickCount() : ctx.clocks.frame_clock;
}

TMultiSprite* Object(const Context& ctx, int slot) {
  return slot >= 0 && slot < MultiSpriteCount(ctx) ? MultiSpriteAt(ctx, slot) : nullptr;
}

TMyImageSprite* FirstPart(const Context& ctx, int slot) {
  TMultiSprite* obj = Object(ctx, slot);
  return obj != nullptr && !obj->parts.empty() ? obj->parts[0].get() : nullptr;
}

// Runs the loading of one entry. Whatever it throws is logged and the entry skipped: nothing
// may leave the loading set-up or the loading screen half done, or the next frame would
// repeat the work (or the same entry) for ever.
template <class Load>
void LoadGuarded(Context& ctx, std::string_view entry, Load&& load) {
  try {
    load();
  } catch (const std::exception& e) {
    WriteLog(ctx, "ERROR: load_failed \"" + std::string(entry) + "\": " + e.what());
  }
}

int Make(Context& ctx, const char* path, const char* tag, bool visible) {
  int slot = -1;
  LoadGuarded(ctx, path, [&] {
    TMultiSprite* obj = CreateMultiSprite(ctx, path);
    if (obj == nullptr) return;
    obj->tag = tag;
    obj->visible = visible;
    slot = obj->list_index;
  });
  return slot;
}

void StartAnimation(Context& ctx, int slot) {
  if (TMyImageSprite* part = FirstPart(ctx, slot)) part->anim_speed = part->base_anim_speed;
}

// Whether the part's animation position can still pass `position`. Content whose part has too
// few frames, no speed, or is missing would otherwise keep the logo (and the menu) waiting
// forever; such a part lets the logo go on.
bool WaitsFor(const Context& ctx, int slot, int position) {
  const TMyImageSprite* part = FirstPart(ctx, slot);
  if (part == nullptr) return false;
  if (part->anim_pos > position) return false;
  if (part->anim_speed == 0 || part->anim_count < position + 2) return false;
  if (!part->anim_looped && part->anim_speed < 0) return false;
  return true;
}

void UpdateAll(Context& ctx) {
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    if (TMultiSprite* obj = MultiSpriteAt(ctx, slot)) obj->Update();
  }
}

void LogoStep(Context& ctx) {
  LoadingState& l = ctx.loading;
  switch (l.logo_phase) {
    case LogoPhase::Bubbles:
      if (ctx.clocks.frame_clock > l.logo_next) {
        const auto alpha =
            static_cast<std::uint8_t>(RoundEven(l.logo_step * 255.0 / (kBubbleTravel + 1)));
        if (TMultiSprite* top = Object(ctx, l.top_bubble)) {
          top->y = kTopBubbleStartY + l.logo_step;
          top->alpha = alpha;
        }
        if (TMultiSprite* bottom = Object(ctx, l.bottom_bubble)) {
          bottom->y = kBottomBubbleStartY - l.logo_step;
          bottom->alpha = alpha;
        }
        l.logo_step += 2;
        if (l.logo_step > kBubbleTravel) {
          l.logo_phase = LogoPhase::StartOrbit;
          l.logo_next = 0;
        } else {
          l.logo_next = ctx.clocks.frame_clock + 10;
        }
      }
      break;
    case LogoPhase::StartOrbit:
      StartAnimation(ctx, l.orbit);
      StartAnimation(ctx, l.flash_text);
      l.logo_phase = LogoPhase::Orbit;
      break;
    case LogoPhase::Orbit:
      if (!WaitsFor(ctx, l.orbit, kOrbitPosition)) {
        StartAnimation(ctx, l.earth_flash);
        l.logo_phase = LogoPhase::EarthFlash;
      }
      break;
    case LogoPhase::EarthFlash:
      if (!WaitsFor(ctx, l.earth_flash, kFlashPosition)) l.logo_phase = LogoPhase::Done;
      break;
    case LogoPhase::NotStarted:
    case LogoPhase::Done:
      break;
  }
}

void ShowProgress(Context& ctx, int p) {
  LoadingState& l = ctx.loading;
  const int k = p / kElementWidth;
  const int r = p % kElementWidth;
  for (int i = 0; i < kBarElements; ++i) {
    TMultiSprite* element = Object(ctx, l.bar[static_cast<std::size_t>(i)]);
    if (element == nullptr) continue;
    element->visible = false;
    if (i < k) {
      element->visible = true;
      element->x = kBarLeft + kElementWidth * i;
      element->y = kBarTop;
    }
  }
  // The last element stands in for the part of an element at the bar's end: its right edge
  // meets the progress; before the first whole element it stands one element further left.
  if (TMultiSprite* last = Object(ctx, l.bar[kBarElements - 1])) {
    if (r > 0) {
      last->visible = true;
      last->y = kBarTop;
      last->x = k >= 1 ? kBarLeft + p - kElementWidth : kBarLeft - 2 * kElementWidth + r;
    } else {
      last->visible = false;
    }
  }
}

void FinishLoading(Context& ctx) {
  LoadingState& l = ctx.loading;
  l.loading_done = true;
  const int trough = FindObject(ctx, "loading_element", -1, "");
  if (trough >= 0) DestroyMultiSpriteAt(ctx, trough);
  unload_by_tag(ctx, "scroll_element");
  unload_by_tag(ctx, "zast");
  l.top_bubble = l.bottom_bubble = l.orbit = l.flash_text = l.earth_flash = -1;
  l.bar.fill(-1);
  LoadGuarded(ctx, kCursorSpritePath, [&] { MakeCursorSprite(ctx); });
  ctx.clocks.frame_clock = CurrentTicks(ctx);
}

void ReportListError(Context& ctx, const Expected<void>& read) {
  if (!read) ReportDataError(ctx, "ReadList", read.error());
}

}  // namespace

Expected<void> ReadList(Context& ctx, std::string_view name, bool append) {
  std::string file = txt::Lower(txt::Trim(name));
  if (file.find('.') == std::string::npos) file += ".msl";
  std::vector<std::string>& list = ctx.loading.load_list;
  if (!append) list.clear();
  // Duplicates are looked up in a set: a list of many entries must not take quadratic time.
  std::unordered_set<std::string> listed(list.begin(), list.end());
  const std::optional<std::string> data =
      platform::FileExists(file) ? platform::ReadWholeFile(file) : std::nullopt;
  if (!data) return Fail(FileNotFound(file));
  for (std::string_view line : txt::Lines(*data)) {
    line = txt::Trim(line.substr(0, kMaxLine));
    if (!line.empty() && line.front() == ';') continue;
    const auto comment = line.find(';');
    if (comment != std::string_view::npos) line = txt::Trim(line.substr(0, comment));
    if (line.empty()) continue;
    if (!listed.emplace(line).second) continue;
    list.emplace_back(line);
  }
  return {};
}

void LoadResourceLine(Context& ctx, std::string_view line) {
  LoadGuarded(ctx, line, [&] {
    const ResourceLine res = ParseResourceLine(line);
    if (IsAudioExtension(res.ext)) {
      LoadAudioLine(ctx, line);
      return;
    }
    if (res.ext == "m3d") return;  // 3D object definitions: nothing in the game shows them
    if (res.path.empty()) return;
    GetPrototype(ctx, res.path);
  });
}

int LoadingProgress(int load_index, int entries) {
  if (entries <= 1) return kBarPixels;
  return RoundEven(static_cast<double>(load_index) / (entries - 1) * kBarPixels);
}

void LoadingSetup(Context& ctx) {
  LoadingState& l = ctx.loading;
  // The backdrop of the menu, for the whole run.
  ReportListError(ctx, ReadList(ctx, "loading", false));
  for (const std::string& entry : l.load_list) {
    LoadGuarded(ctx, entry, [&] {
      if (TMultiSprite* obj = CreateMultiSprite(ctx, entry)) obj->tag = "loading";
    });
  }
  // Logo and progress bar.
  l.top_bubble = Make(ctx, kLogoSet[0], "zast", true);
  l.bottom_bubble = Make(ctx, kLogoSet[1], "zast", true);
  l.orbit = Make(ctx, kLogoSet[2], "zast", true);
  l.flash_text = Make(ctx, kLogoSet[3], "zast", true);
  l.earth_flash = Make(ctx, kLogoSet[4], "zast", true);
  for (int& element : l.bar) element = Make(ctx, kBarElement, "scroll_element", false);
  // Audio.
  WriteLog(ctx, "BASS_Init");
  l.audio_ok = InitAudio(ctx);
  ApplyMusicVolume(ctx);
  ApplySoundVolume(ctx);
  // The music is loaded before the loading screen runs.
  ReportListError(ctx, ReadList(ctx, "music.ini", false));
  for (const std::string& entry : l.load_list) LoadResourceLine(ctx, entry);
  // What the loading screen loads.
  ReportListError(ctx, ReadList(ctx, "main", false));
  ReportListError(ctx, ReadList(ctx, "sound.ini", true));
  l.load_index = 0;
  l.loading_done = false;
  // The application is active and the menu scene starts.
  ctx.clocks.app_active = true;
  ctx.shell.pointer.prev_hover_button = -1;
  SwitchScene(ctx, SceneId::Menu);
  ctx.shell.flow.loading_pending = false;
}

void ShowLoadingScreen(Context& ctx) {
  ShowTag(ctx, "loading", true);
  if (ctx.loading.logo_phase == LogoPhase::NotStarted) ctx.loading.logo_phase = LogoPhase::Bubbles;
}

bool LoadingDone(const Context& ctx) {
  return ctx.loading.loading_done;
}

bool LoadingBegun(const Context& ctx) {
  return ctx.loading.load_index > 0;
}

bool LoadingScreenStep(Context& ctx) {
  LoadingState& l = ctx.loading;
  if (l.logo_phase != LogoPhase::Done) {
    LogoStep(ctx);
    if (l.logo_phase != LogoPhase::Done) {
      UpdateAll(ctx);
      return true;
    }
  }
  if (l.loading_done) return false;
  const int entries = static_cast<int>(l.load_list.size());
  if (l.load_index < entries) {
    LoadResourceLine(ctx, l.load_list[static_cast<std::size_t>(l.load_index)]);
    ShowProgress(ctx, LoadingProgress(l.load_index, entries));
    ++l.load_index;
  }
  // An empty list is complete at once, so the logo and bar still go and the music starts.
  if (l.load_index >= entries) {
    FinishLoading(ctx);
    return false;
  }
  UpdateAll(ctx);
  return true;
}

bool LoadingEntriesRemain(const Context& ctx) {
  return !ctx.loading.loading_done && ctx.loading.logo_phase != LogoPhase::NotStarted;
}

void WriteLoadingSection(const Context& ctx, JsonWriter& out) {
  out.BeginObject();
  out.Field("logo_phase", static_cast<int>(ctx.loading.logo_phase));
  out.Field("load_index", ctx.loading.load_index);
  out.Field("entries", static_cast<std::int64_t>(ctx.loading.load_list.size()));
  out.EndObject();
}

}  // namespace qv
