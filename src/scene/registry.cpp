#include "scene/registry.h"

#include <algorithm>
#include <string>

#include "base/log.h"
#include "scene/scene_world.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

my_tag_list* FindTagList(SceneWorld& ctx, std::string_view name) {
  for (my_tag_list& list : ctx.scene.tag_lists) {
    if (list.name == name) return &list;
  }
  return nullptr;
}

std::uint8_t ToAlpha(int alpha) {
  return static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
}

}  // namespace

int FindObject(const SceneWorld& ctx, std::string_view name, int nth, std::string_view tag) {
  int matches = 0;
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    const TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj == nullptr || obj->name != name) continue;
    if (!tag.empty() && obj->tag != tag) continue;
    if (nth == -1 || matches == nth) return slot;
    ++matches;
  }
  return -1;
}

void ShowTag(SceneWorld& ctx, std::string_view tag, bool visible) {
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj != nullptr && obj->tag == tag) obj->visible = visible;
  }
}

void SetTagAlpha(SceneWorld& ctx, std::string_view tag, int alpha) {
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj != nullptr && obj->tag == tag) obj->alpha = ToAlpha(alpha);
  }
}

std::string_view UnloadTagOf(std::string_view tag) {
  const auto dot = tag.find('.');
  if (dot != std::string_view::npos && dot > 0) return tag.substr(0, dot);
  return tag;
}

int unload_by_tag(SceneWorld& ctx, std::string_view tag) {
  const std::string cut(UnloadTagOf(tag));
  int unloaded = 0;
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    const TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj != nullptr && obj->tag == cut) {
      DestroyMultiSpriteAt(ctx, slot);
      ++unloaded;
    }
  }
  WriteLog(ctx, "unload_by_tag(\"" + cut + "\"), unloaded: " + std::to_string(unloaded));
  return unloaded;
}

void CreateTagList(SceneWorld& ctx, std::string_view name) {
  my_tag_list* list = FindTagList(ctx, name);
  if (list == nullptr) {
    ctx.scene.tag_lists.push_back(my_tag_list{});
    list = &ctx.scene.tag_lists.back();
    list->name = std::string(name);
  }
  list->tags.clear();
  list->members.clear();
  list->member_kinds.clear();
}

void AddTagToList(SceneWorld& ctx, std::string_view name, std::string_view tag) {
  my_tag_list* list = FindTagList(ctx, name);
  if (list == nullptr) return;
  if (std::find(list->tags.begin(), list->tags.end(), tag) == list->tags.end()) {
    list->tags.emplace_back(tag);
  }
  RebuildTagList(ctx, name);
}

void RebuildTagList(SceneWorld& ctx, std::string_view name) {
  my_tag_list* list = FindTagList(ctx, name);
  if (list == nullptr) return;
  list->members.clear();
  list->member_kinds.clear();
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    const TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj == nullptr) continue;
    if (std::find(list->tags.begin(), list->tags.end(), obj->tag) != list->tags.end()) {
      list->members.push_back(slot);
      list->member_kinds.push_back(1);
    }
  }
}

void SetTagListAlpha(SceneWorld& ctx, std::string_view name, int alpha) {
  my_tag_list* list = FindTagList(ctx, name);
  if (list == nullptr) return;
  const int count = MultiSpriteCount(ctx);
  for (const int slot : list->members) {
    if (slot < 0 || slot >= count) continue;
    TMultiSprite* obj = MultiSpriteAt(ctx, slot);
    if (obj != nullptr) obj->alpha = ToAlpha(alpha);
  }
}

}  // namespace qv
