#pragma once
// The game core's view of a live picture: make one from a sprite definition path, place it,
// tint it, show parts of it, free it. Every picture the rules touch goes through here, so the
// rules do not depend on how pictures are stored.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct Context;

using PicId = int;
inline constexpr PicId kNoPic = -1;

// Stand-in picture record (until multisprites exist): the fields the game core sets and reads.
struct StandinPart {
  bool visible = true;
  double anim_pos = 0;
  double anim_speed = 0.5;
  double base_anim_speed = 0.5;
  int color = 0xFFFFFF;
  int alpha_mode = 0;
};

struct StandinPic {
  bool alive = false;
  std::string name;
  std::string tag;
  double x = 0;
  double y = 0;
  int z = 0;
  bool visible = true;
  int alpha = 255;
  int color = 0xFFFFFF;
  double scale_x = 1;
  double scale_y = 1;
  double angle = 0;
  int width = 34;
  int updates = 0;
  std::vector<StandinPart> parts;
  std::vector<int> group_part;  // current part per group (one part per group)
};

struct PictureStore {
  std::vector<StandinPic> slots;
};

PicId MakePic(Context& ctx, std::string_view path, std::string_view tag);
void FreePic(Context& ctx, PicId& id);  // frees and sets the id to kNoPic
bool PicAlive(const Context& ctx, PicId id);

double PicX(const Context& ctx, PicId id);
double PicY(const Context& ctx, PicId id);
void SetPicPos(Context& ctx, PicId id, double x, double y);
int PicZ(const Context& ctx, PicId id);
void SetPicZ(Context& ctx, PicId id, int z);
void SetPicVisible(Context& ctx, PicId id, bool visible);
void SetPicAlpha(Context& ctx, PicId id, int alpha);
void SetPicColor(Context& ctx, PicId id, int rgb);
double PicScaleX(const Context& ctx, PicId id);
double PicScaleY(const Context& ctx, PicId id);
void SetPicScale(Context& ctx, PicId id, double sx, double sy);
double PicAngle(const Context& ctx, PicId id);
void SetPicAngle(Context& ctx, PicId id, double angle);
void SetPicTag(Context& ctx, PicId id, std::string_view tag);
int PicWidth(const Context& ctx, PicId id);

// Parts are counted from 0 in prototype order; a missing part is ignored.
void SetPartVisible(Context& ctx, PicId id, int part, bool visible);
double PartAnimSpeed(const Context& ctx, PicId id, int part);
void SetPartAnimSpeed(Context& ctx, PicId id, int part, double speed);
void RestorePartAnimSpeed(Context& ctx, PicId id, int part);  // back to the definition's speed
void SetPartAnimPos(Context& ctx, PicId id, int part, double pos);
void SetPartColor(Context& ctx, PicId id, int part, int rgb);
void SetPartAlphaMode(Context& ctx, PicId id, int part, int mode);
void SelectPicPart(Context& ctx, PicId id, int group, int part);

// The per-frame update of one picture (flips, angle, part placement).
void AnimatePic(Context& ctx, PicId id);

// Every live picture with the tag, in slot order, appended to out.
void CollectTagged(const Context& ctx, std::string_view tag, std::vector<PicId>& out);

// Test view of a stand-in picture; null when none.
const StandinPic* StandinOf(const Context& ctx, PicId id);

}  // namespace qv
