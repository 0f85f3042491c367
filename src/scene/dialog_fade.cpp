#include "scene/dialog_fade.h"

#include <algorithm>

#include "scene/registry.h"
#include "scene/scene_world.h"

namespace qv {

void OpenDialogFade(SceneWorld& ctx, std::initializer_list<std::string_view> tags) {
  // A fade cut short would leave its objects half transparent.
  FinishDialogFade(ctx);
  DialogFade& f = ctx.scene.fade;
  f.alpha = 0;
  f.state = 1;
  CreateTagList(ctx, kDialogTagList);
  for (std::string_view tag : tags) AddTagToList(ctx, kDialogTagList, tag);
  SetTagListAlpha(ctx, kDialogTagList, 0);
}

void AddToDialogFade(SceneWorld& ctx, std::string_view tag) {
  if (ctx.scene.fade.state != 1) return;
  AddTagToList(ctx, kDialogTagList, tag);
  SetTagListAlpha(ctx, kDialogTagList, ctx.scene.fade.alpha);
}

void DialogFadeStep(SceneWorld& ctx) {
  DialogFade& f = ctx.scene.fade;
  if (f.state != 1) return;
  f.alpha = std::min(f.alpha + f.step, 255);
  SetTagListAlpha(ctx, kDialogTagList, f.alpha);
  if (f.alpha >= 255) {
    f.state = 0;
    f.step = 8;
    CreateTagList(ctx, kDialogTagList);
  }
}

void FinishDialogFade(SceneWorld& ctx) {
  DialogFade& f = ctx.scene.fade;
  if (f.state != 1) return;
  f.alpha = 255;
  DialogFadeStep(ctx);
}

bool DialogFadeRunning(const SceneWorld& ctx) { return ctx.scene.fade.state == 1; }

void CancelDialogFade(SceneWorld& ctx) {
  DialogFade& f = ctx.scene.fade;
  f.alpha = 255;
  f.state = 0;
  f.step = 8;
  CreateTagList(ctx, kDialogTagList);
}

}  // namespace qv
