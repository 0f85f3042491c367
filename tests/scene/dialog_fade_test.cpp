#include <gtest/gtest.h>

#include "scene/buttons.h"
#include "scene/dialog_fade.h"
#include "scene/registry.h"
#include "context.h"
#include "sprites/multisprite.h"
#include "sprites/sprite_test_util.h"
#include "support/game_dir.h"

namespace qv {
namespace {

using testing_support::GameDir;

class DialogFadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.platform.device = &device_;  // frames are measured on their textures
    dir_.WriteImage("graphics\\b.png", 16, 16, 0xFFFFFF);
    dir_.WriteSpr("graphics\\b.spr", "z=1", {"b.png,texture_size=16"});
  }
  TMultiSprite* Make(const char* tag) {
    TMultiSprite* m = CreateMultiSprite(ctx_, "graphics\\b.spr");
    m->tag = tag;
    return m;
  }

  GameDir dir_;
  test::FakeDevice device_;
  Context ctx_;
};

TEST_F(DialogFadeTest, FadesTheListedTagsInStepsOfEight) {
  TMultiSprite* a = Make("dlg");
  TMultiSprite* b = Make("dlg_text");
  TMultiSprite* other = Make("page");
  OpenDialogFade(ctx_, {"dlg", "dlg_text"});
  EXPECT_EQ(a->alpha, 0);
  EXPECT_EQ(b->alpha, 0);
  EXPECT_EQ(other->alpha, 255);
  DialogFadeStep(ctx_);
  EXPECT_EQ(a->alpha, 8);
  for (int i = 0; i < 30; ++i) DialogFadeStep(ctx_);
  EXPECT_EQ(b->alpha, 248);
  EXPECT_TRUE(DialogFadeRunning(ctx_));
  DialogFadeStep(ctx_);  // capped at 255, and the fade ends
  EXPECT_EQ(a->alpha, 255);
  EXPECT_FALSE(DialogFadeRunning(ctx_));
  // Once over, the list is empty: a later step touches nothing.
  a->alpha = 40;
  DialogFadeStep(ctx_);
  EXPECT_EQ(a->alpha, 40);
}

TEST_F(DialogFadeTest, ANewFadeFinishesTheRunningOne) {
  TMultiSprite* page = Make("page");
  TMultiSprite* dlg = Make("dlg");
  OpenDialogFade(ctx_, {"page"});
  DialogFadeStep(ctx_);
  OpenDialogFade(ctx_, {"dlg"});
  EXPECT_EQ(page->alpha, 255) << "never left half transparent";
  EXPECT_EQ(dlg->alpha, 0);
  // Objects made during the fade join it at its current alpha.
  DialogFadeStep(ctx_);
  TMultiSprite* late = Make("dlg_text");
  AddToDialogFade(ctx_, "dlg_text");
  EXPECT_EQ(late->alpha, 8);
  FinishDialogFade(ctx_);
  EXPECT_EQ(late->alpha, 255);
  EXPECT_EQ(dlg->alpha, 255);
}

TEST_F(DialogFadeTest, CancelLeavesObjectsAlone) {
  TMultiSprite* dlg = Make("dlg");
  OpenDialogFade(ctx_, {"dlg"});
  DialogFadeStep(ctx_);
  CancelDialogFade(ctx_);
  EXPECT_FALSE(DialogFadeRunning(ctx_));
  EXPECT_EQ(dlg->alpha, 8);
  // A slot reused by a new object is not faded by the old list.
  DestroyMultiSprite(ctx_, dlg);
  TMultiSprite* reused = Make("menu");
  ASSERT_EQ(reused->list_index, 0);
  reused->alpha = 100;
  DialogFadeStep(ctx_);
  FinishDialogFade(ctx_);
  EXPECT_EQ(reused->alpha, 100);
  EXPECT_EQ(ctx_.scene.fade.alpha, 255);
}

TEST_F(DialogFadeTest, HiddenButtonsAreNotHit) {
  TMultiSprite* m = Make("dlg");
  m->x = 100;
  m->y = 50;
  m->Update();
  SpriteEngineMove(ctx_, 16);
  EXPECT_TRUE(ObjectHit(ctx_, m->list_index, 100, 50));
  EXPECT_TRUE(ObjectHit(ctx_, m->list_index, 115, 65));
  EXPECT_FALSE(ObjectHit(ctx_, m->list_index, 116, 50));
  m->visible = false;
  EXPECT_FALSE(ObjectHit(ctx_, m->list_index, 100, 50));
  EXPECT_FALSE(ObjectHit(ctx_, -1, 100, 50));
  EXPECT_EQ(ButtonVariant(true, true), 2);
  EXPECT_EQ(ButtonVariant(true, false), 1);
  EXPECT_EQ(ButtonVariant(false, true), 0);
}

}  // namespace
}  // namespace qv
