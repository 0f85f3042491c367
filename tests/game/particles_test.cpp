#include "game/particles.h"

#include "game_fixture.h"

namespace qv::test {
namespace {

class ParticleTest : public GameTest {
 protected:
  TExploseParticle& P(int slot) {
    return ctx.game.run.particles.slots[static_cast<std::size_t>(slot)];
  }
  TMultiSprite& S(int slot) { return *Pic(ctx, P(slot).sprite); }
  void Frame(std::uint32_t ms = 10) {
    ctx.clocks.game_clock += ms;
    UpdateParticles(ctx);
  }
};

TEST_F(ParticleTest, SetUpByKind) {
  const int spark = CreateParticle(ctx, 16, 100, 100);
  EXPECT_EQ(P(spark).lifetime, 1500u);
  EXPECT_EQ(S(spark).parts[0]->alpha_mode, 1);
  EXPECT_EQ(S(spark).tag, "explose_particle");
  EXPECT_EQ(S(spark).name, "particle1");
  EXPECT_LE(std::abs(S(spark).x - 100), 12);
  EXPECT_LE(std::abs(P(spark).vx), 0.5);
  const int trail = CreateParticle(ctx, 15, 100, 100);
  EXPECT_EQ(S(trail).color, 0x808080);
  const int fragment = CreateParticle(ctx, 19, 100, 100);
  EXPECT_EQ(S(fragment).name, "particle2");
  EXPECT_EQ(S(fragment).x, 100);
  EXPECT_GT(S(fragment).scale_x, 0.7 - 1.0 / 3 - 1e-9);
  EXPECT_LE(S(fragment).scale_x, 0.7);
  const int piece = CreateParticle(ctx, 21, 100, 100);
  EXPECT_LE(S(piece).scale_x, 0.75);
  EXPECT_EQ(S(piece).name, "particle3");
  const int line = CreateParticle(ctx, 22, 100, 100);
  EXPECT_EQ(S(line).name, "line_piece");
  EXPECT_EQ(P(line).vx, 0);
  const int shrink = CreateParticle(ctx, 10, 50, 60);
  EXPECT_EQ(S(shrink).name, "ball3");
  EXPECT_EQ(P(shrink).lifetime, 700u);
  EXPECT_FALSE(S(shrink).parts[0]->visible);
  EXPECT_TRUE(S(shrink).parts[1]->visible);
  EXPECT_EQ(S(shrink).parts[1]->anim_speed, 0);
  EXPECT_FALSE(S(shrink).parts[2]->visible);
  EXPECT_FALSE(S(shrink).parts[3]->visible);
}

TEST_F(ParticleTest, FreeSlotsAreReusedFromTheStart) {
  for (int i = 0; i < 5; ++i) CreateParticle(ctx, 17, 0, 0);
  DestroyParticle(ctx, 3);
  DestroyParticle(ctx, 1);
  EXPECT_EQ(CreateParticle(ctx, 17, 0, 0), 1);
  EXPECT_EQ(CreateParticle(ctx, 17, 0, 0), 3);
  EXPECT_EQ(CreateParticle(ctx, 17, 0, 0), 5);
  EXPECT_EQ(ctx.game.run.particles.count, 6);
  EXPECT_EQ(P(3).list_index, 3);
}

TEST_F(ParticleTest, FallingBallRisesSlowsTurnsAndFallsFaster) {
  int slot = -1;
  for (int i = 0; i < 200 && slot < 0; ++i) {
    const int s = CreateParticle(ctx, 4, 200, 200);
    if (P(s).vy < 0) {
      slot = s;
    } else {
      DestroyParticle(ctx, s);
    }
  }
  ASSERT_GE(slot, 0);
  const double vy0 = P(slot).vy;
  EXPECT_LE(vy0, -1);
  EXPECT_GT(vy0, -1.3);
  Frame();
  EXPECT_NEAR(P(slot).vy, vy0 + 0.25, 1e-12);
  EXPECT_NEAR(S(slot).y, 200 + vy0, 1e-12);
  while (P(slot).vy <= 0) Frame();
  const double v = P(slot).vy;
  Frame();
  EXPECT_NEAR(P(slot).vy, v * 1.3, 1e-12);
  EXPECT_EQ(S(slot).alpha, 255);
  EXPECT_LT(S(slot).scale_x, 1);
}

TEST_F(ParticleTest, SeventyPercentFallStraightAway) {
  int still = 0;
  for (int i = 0; i < 1000; ++i) {
    const int s = CreateParticle(ctx, 1, 0, 0);
    still += P(s).vy == 0 ? 1 : 0;
    DestroyParticle(ctx, s);
  }
  EXPECT_NEAR(still, 701, 60);
}

TEST_F(ParticleTest, FadesByKind) {
  const int plain = CreateParticle(ctx, 17, 0, 0);  // 500 ms
  const int trail = CreateParticle(ctx, 18, 0, 0);  // 100 ms
  const int piece = CreateParticle(ctx, 20, 0, 0);  // 500 ms
  const int spark = CreateParticle(ctx, 16, 0, 0);  // 1500 ms
  Frame(50);
  EXPECT_EQ(S(plain).alpha, 255 - 25);         // trunc(0.1 * 255)
  EXPECT_EQ(S(trail).alpha, (255 - 127) / 2);  // trunc(0.5 * 255) = 127
  EXPECT_EQ(S(piece).alpha, 255 - 19);         // trunc(0.1 * 192)
  // s = round(50 / 1500 * 255) = 8
  EXPECT_EQ(S(spark).alpha, 247);
  EXPECT_EQ(S(spark).color, (160 - 8) * 65536 + (100 - 8) * 256);
  Frame(60);  // the trail is over (110 > 100)
  EXPECT_FALSE(P(trail).used);
  EXPECT_TRUE(P(plain).used);
}

TEST_F(ParticleTest, ParticleLivesUntilItsLifetimeHasPassed) {
  const int s = CreateParticle(ctx, 0, 0, 0);
  Frame(400);
  EXPECT_TRUE(P(s).used);
  Frame(1);
  EXPECT_FALSE(P(s).used);
  EXPECT_EQ(LiveParticles(ctx), 0);
}

TEST_F(ParticleTest, SparkMovesTwiceAsFast) {
  const int s = CreateParticle(ctx, 16, 0, 0);
  const double x = S(s).x;
  Frame();
  EXPECT_NEAR(S(s).x, x + 2 * P(s).vx, 1e-12);
}

TEST_F(ParticleTest, ShrinkingBallStaysCentred) {
  const int s = CreateParticle(ctx, 8, 100, 200);
  Frame();
  EXPECT_NEAR(S(s).scale_x, 0.85, 1e-12);
  EXPECT_NEAR(P(s).size, 34 * 0.85, 1e-12);
  EXPECT_NEAR(S(s).x, 100 + (34 - 34 * 0.85) / 2, 1e-12);
  EXPECT_NEAR(S(s).y, 200 + (34 - 34 * 0.85) / 2, 1e-12);
  EXPECT_EQ(S(s).alpha, 255 - 3);  // trunc(10 / 700 * 255)
}

TEST_F(ParticleTest, FragmentsFallAndSpin) {
  const int s = CreateParticle(ctx, 19, 0, 0);
  const double vy = P(s).vy;
  const double angle = S(s).angle;
  const double scale = S(s).scale_x;
  Frame();
  EXPECT_NEAR(P(s).vy, vy + 0.5, 1e-12);
  EXPECT_NEAR(S(s).angle, angle + 0.05, 1e-12);
  EXPECT_NEAR(S(s).scale_x, scale * 0.975, 1e-12);
}

TEST_F(ParticleTest, LinePieceSteersToTheStripAndEndsAboveIt) {
  ctx.game.play.progress.shown = 100;
  const int s = CreateParticle(ctx, 22, 400, 300);
  ctx.game.play.progress.rising = false;
  Frame();
  // Target (317, 58): mostly up and a little left.
  EXPECT_LT(P(s).vy, -3);
  // Above y 58 its start time becomes 0, so it ends in that very frame, well before its second.
  int frames = 1;
  while (P(s).used && frames < 300) {
    Frame();
    ++frames;
  }
  EXPECT_FALSE(P(s).used);
  EXPECT_LT(frames, 90);
  EXPECT_TRUE(ctx.game.play.progress.rising);
}

TEST_F(ParticleTest, LinePieceEndsAfterASecondWhenItNeverArrives) {
  ctx.game.play.progress.shown = 100;
  const int s = CreateParticle(ctx, 22, 400, 30000);
  Frame(1000);
  EXPECT_TRUE(P(s).used);
  Frame(1);
  EXPECT_FALSE(P(s).used);
}

TEST_F(ParticleTest, ScoreTextGrowsCentredThenRisesAndFades) {
  const PicId text = MakePic(ctx, "graphics\\particles\\particle1.spr", "particle_digits");
  SetPicPos(ctx, text, 300, 200);
  const int s = CreateParticle(ctx, 23, 0, 0, text);
  EXPECT_EQ(P(s).sprite, text);
  EXPECT_EQ(P(s).base_x, 300);
  Frame(0);
  EXPECT_NEAR(S(s).scale_x, 0.4, 1e-12);  // e = 0
  const double w = S(s).width;
  ASSERT_GT(w, 0);
  EXPECT_NEAR(S(s).x, (w - w * 0.4) / 2 + 300, 1e-12);
  Frame(250);
  EXPECT_NEAR(S(s).scale_x, 0.8, 1e-12);
  EXPECT_EQ(S(s).y, 200);
  Frame(250);
  EXPECT_EQ(S(s).y, 199);
  EXPECT_EQ(S(s).alpha, 255 - 63);  // trunc(0.25 * 255)
  Frame(501);
  EXPECT_FALSE(P(s).used);
  EXPECT_FALSE(PicAlive(ctx, text));  // the particle owned the text
}

TEST_F(ParticleTest, ClearDestroysEverything) {
  for (int i = 0; i < 10; ++i) CreateParticle(ctx, 19, 0, 0);
  const int before = MultiSpriteCount(ctx);
  ClearParticles(ctx);
  EXPECT_EQ(LiveParticles(ctx), 0);
  EXPECT_TRUE(ctx.game.run.particles.slots.empty());
  int alive = 0;
  // Released pictures may stay parked in the sprite pool, hidden, for the next particles.
  for (int i = 0; i < before; ++i) {
    const TMultiSprite* m = MultiSpriteAt(ctx, i);
    alive += m && !m->pooled ? 1 : 0;
    if (m) EXPECT_FALSE(m->visible);
  }
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace qv::test
