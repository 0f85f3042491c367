#pragma once
// The scenes' view of a live picture: a multisprite of the global list, named by its slot (a
// registry index). Every call takes kNoPic, a freed slot or a picture parked in the pool quietly,
// and a missing part is ignored, so callers never have to ask whether a map or a definition file
// had everything.
#include <string_view>
#include <vector>

namespace qv {

struct Context;
class TMultiSprite;

using PicId = int;
inline constexpr PicId kNoPic = -1;

PicId MakePic(Context& ctx, std::string_view path, std::string_view tag);
void FreePic(Context& ctx, PicId& id);  // frees and sets the id to kNoPic
bool PicAlive(const Context& ctx, PicId id);
TMultiSprite* Pic(const Context& ctx, PicId id);  // null when none

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

// Parts are counted from 0 in prototype order.
void SetPartVisible(Context& ctx, PicId id, int part, bool visible);
double PartAnimSpeed(const Context& ctx, PicId id, int part);
void SetPartAnimSpeed(Context& ctx, PicId id, int part, double speed);
void RestorePartAnimSpeed(Context& ctx, PicId id, int part);  // back to the definition's speed
void SetPartAnimPos(Context& ctx, PicId id, int part, double pos);
void SetPartColor(Context& ctx, PicId id, int part, int rgb);
void SetPartAlphaMode(Context& ctx, PicId id, int part, int mode);
void SetPartOffsetY(Context& ctx, PicId id, int part, double dy);
double PartAnimPos(const Context& ctx, PicId id, int part);
// Animation from its first frame at the definition's speed.
void RestartPartAnim(Context& ctx, PicId id, int part);
bool PicVisible(const Context& ctx, PicId id);
int PicParts(const Context& ctx, PicId id);
void SelectPicPart(Context& ctx, PicId id, int group, int part);

// The same calls in the words of map objects and buttons.
void SelectVariant(Context& ctx, PicId id, int group, int variant);
void MoveObject(Context& ctx, PicId id, double x, double y);
void SetObjectX(Context& ctx, PicId id, double x);
void SetObjectY(Context& ctx, PicId id, double y);
void ShowObject(Context& ctx, PicId id, bool visible);
bool ObjectVisible(const Context& ctx, PicId id);

// The per-frame Update of one picture (flips, angle, part placement).
void AnimatePic(Context& ctx, PicId id);

// Every live picture with the tag, in slot order, appended to out.
void CollectTagged(const Context& ctx, std::string_view tag, std::vector<PicId>& out);

}  // namespace qv
