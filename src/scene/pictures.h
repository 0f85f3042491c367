#pragma once
// The scenes' view of a live picture: a multisprite of the global list, named by its slot (a
// registry index). Every call takes kNoPic, a freed slot or a picture parked in the pool quietly,
// and a missing part is ignored, so callers never have to ask whether a map or a definition file
// had everything.
#include <string_view>
#include <vector>

namespace qv {

struct SceneWorld;
class TMultiSprite;

using PicId = int;
inline constexpr PicId kNoPic = -1;

PicId MakePic(SceneWorld& ctx, std::string_view path, std::string_view tag);
void FreePic(SceneWorld& ctx, PicId& id);  // frees and sets the id to kNoPic
bool PicAlive(const SceneWorld& ctx, PicId id);
TMultiSprite* Pic(const SceneWorld& ctx, PicId id);  // null when none

double PicX(const SceneWorld& ctx, PicId id);
double PicY(const SceneWorld& ctx, PicId id);
void SetPicPos(SceneWorld& ctx, PicId id, double x, double y);
int PicZ(const SceneWorld& ctx, PicId id);
void SetPicZ(SceneWorld& ctx, PicId id, int z);
void SetPicVisible(SceneWorld& ctx, PicId id, bool visible);
void SetPicAlpha(SceneWorld& ctx, PicId id, int alpha);
void SetPicColor(SceneWorld& ctx, PicId id, int rgb);
double PicScaleX(const SceneWorld& ctx, PicId id);
double PicScaleY(const SceneWorld& ctx, PicId id);
void SetPicScale(SceneWorld& ctx, PicId id, double sx, double sy);
double PicAngle(const SceneWorld& ctx, PicId id);
void SetPicAngle(SceneWorld& ctx, PicId id, double angle);
void SetPicTag(SceneWorld& ctx, PicId id, std::string_view tag);
int PicWidth(const SceneWorld& ctx, PicId id);

// Parts are counted from 0 in prototype order.
void SetPartVisible(SceneWorld& ctx, PicId id, int part, bool visible);
double PartAnimSpeed(const SceneWorld& ctx, PicId id, int part);
void SetPartAnimSpeed(SceneWorld& ctx, PicId id, int part, double speed);
void RestorePartAnimSpeed(SceneWorld& ctx, PicId id, int part);  // back to the definition's speed
void SetPartAnimPos(SceneWorld& ctx, PicId id, int part, double pos);
void SetPartColor(SceneWorld& ctx, PicId id, int part, int rgb);
void SetPartAlphaMode(SceneWorld& ctx, PicId id, int part, int mode);
void SetPartOffsetY(SceneWorld& ctx, PicId id, int part, double dy);
double PartAnimPos(const SceneWorld& ctx, PicId id, int part);
// Animation from its first frame at the definition's speed.
void RestartPartAnim(SceneWorld& ctx, PicId id, int part);
bool PicVisible(const SceneWorld& ctx, PicId id);
int PicParts(const SceneWorld& ctx, PicId id);
void SelectPicPart(SceneWorld& ctx, PicId id, int group, int part);

// The same calls in the words of map objects and buttons.
void SelectVariant(SceneWorld& ctx, PicId id, int group, int variant);
void MoveObject(SceneWorld& ctx, PicId id, double x, double y);
void SetObjectX(SceneWorld& ctx, PicId id, double x);
void SetObjectY(SceneWorld& ctx, PicId id, double y);
void ShowObject(SceneWorld& ctx, PicId id, bool visible);
bool ObjectVisible(const SceneWorld& ctx, PicId id);

// The per-frame Update of one picture (flips, angle, part placement).
void AnimatePic(SceneWorld& ctx, PicId id);

// Every live picture with the tag, in slot order, appended to out.
void CollectTagged(const SceneWorld& ctx, std::string_view tag, std::vector<PicId>& out);

}  // namespace qv
