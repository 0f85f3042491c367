#pragma once
// A fresh game world with the shipped option values and a recording stand-in for the game
// scene (sounds, texts, board, slot bars, cursor, rockets shown).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "context.h"
#include "game/field.h"
#include "game/game_state.h"
#include "game/pictures.h"
#include "game/scene_port.h"
#include "platform/files.h"
#include "sprites/multisprite.h"

namespace qv::test {

// A fresh game folder holding small sprite definitions for every picture the game core makes:
// four groups of one two-frame part each (parts animate at 0.5), "particle3" with one group of
// four parts like the quarter pieces.
class GameFolder {
 public:
  GameFolder() {
    old_ = std::filesystem::current_path();
    char tmpl[] = "/tmp/qv_game_XXXXXX";
    dir_ = mkdtemp(tmpl);
    std::filesystem::current_path(dir_);
    const std::string part = "p.tga,frame_width=16,texture_size=32,anim_speed=500\r\n";
    const std::string four =
        "width=34,height=34\r\n1\r\n" + part + "1\r\n" + part + "1\r\n" + part + "1\r\n" + part;
    const std::string quarters = "width=34\r\n4\r\n" + part + part + part + part;
    std::vector<std::string> paths = {"graphics\\balls\\bomb\\bomb1.spr",
                                      "graphics\\balls\\big_bomb\\bomb2.spr",
                                      "graphics\\balls\\multiball\\multiball.spr",
                                      "graphics\\balls\\lands\\land1.spr",
                                      "graphics\\balls\\crystals\\crystal1.spr",
                                      "graphics\\crystals\\crystal1.spr",
                                      "graphics\\particles\\particle1.spr",
                                      "graphics\\particles\\particle2.spr",
                                      "graphics\\particles\\line_piece.spr",
                                      "graphics\\bonuses\\target.spr",
                                      "graphics\\rocket\\rocket.spr",
                                      "graphics\\balls\\ball0\\ball0.spr"};
    for (int n = 1; n <= 7; ++n) {
      const std::string k = std::to_string(n);
      paths.push_back("graphics\\balls\\ball" + k + "\\ball" + k + ".spr");
      paths.push_back("graphics\\balls\\ball" + k + ".spr");
      paths.push_back("graphics\\balls\\ball0\\ball" + k + ".spr");
    }
    for (const auto& path : paths) Write(path, four);
    Write("graphics\\particles\\particle3.spr", quarters);
  }
  ~GameFolder() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

 private:
  static void WriteBytes(const std::filesystem::path& host, const std::string& bytes) {
    if (host.has_parent_path()) std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // The definition and a 32 x 16 white picture beside it.
  static void Write(const std::string& game_path, const std::string& text) {
    const std::filesystem::path host = platform::HostPath(game_path);
    WriteBytes(host, text);
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 32;
    tga[14] = 16;
    tga[16] = 32;
    tga[17] = 0x28;
    tga.append(32 * 16 * 4, '\xff');
    WriteBytes(host.parent_path() / "p.tga", tga);
  }
  std::filesystem::path old_, dir_;
};

struct TextCall {
  std::string text;
  std::string font;
  int color = 0;
  double x = 0;
  double y = 0;
  int z = 0;
  int align = 0;
  std::string tag;
};

class RecordingPort : public GameScenePort {
 public:
  std::vector<std::string> sounds;
  std::vector<int> stopped;
  std::vector<TextCall> texts;
  double board_y = 0;
  double bar_x[6] = {31, 31, 31, 31, 31, 31};
  int bar_color[6] = {0, 0, 0, 0, 0, 0};
  int cursor = 0;
  int rockets_shown = 0;
  int matches = 0;
  double aim = 0;
  int next_channel = 1;

  int PlaySample(Context&, std::string_view name) override {
    sounds.emplace_back(name);
    return next_channel++;
  }
  void StopChannel(Context&, int channel) override { stopped.push_back(channel); }
  double CreateText(Context& ctx, std::string_view text, int z, std::string_view font, int align,
                    std::string_view tag, int color, double /*scale*/, double y,
                    double x) override {
    texts.push_back(
        {std::string(text), std::string(font), color, x, y, z, align, std::string(tag)});
    // One glyph picture per character, as text layout would make.
    for (std::size_t i = 0; i < text.size(); ++i) {
      const PicId id = MakePic(ctx, "graphics\\particles\\particle1.spr", tag);
      SetPicPos(ctx, id, x + 10.0 * static_cast<double>(i), y);
      SetPicZ(ctx, id, z);
    }
    return 10.0 * static_cast<double>(text.size());
  }
  void SetAimRotation(Context&, double angle) override { aim = angle; }
  double BoardY(Context&) override { return board_y; }
  void MoveBoard(Context&, double dy) override { board_y += dy; }
  void SetSlotBar(Context&, int slot, double x, int color) override {
    bar_x[slot] = x;
    bar_color[slot] = color;
  }
  void SetSlotBarX(Context&, int slot, double x) override { bar_x[slot] = x; }
  void SetCursorVariant(Context&, int variant) override { cursor = variant; }
  void ShowMountedRockets(Context&, int count) override { rockets_shown = count; }
  void OnMatch(Context&) override { ++matches; }

  int Count(std::string_view name) const {
    int n = 0;
    for (const auto& s : sounds) n += s == name ? 1 : 0;
    return n;
  }
};

class GameTest : public ::testing::Test {
 protected:
  GameFolder folder;
  Context ctx;
  RecordingPort port;

  GameTest() {
    ctx.game.run.port = &port;
    Options& o = ctx.options;
    o.explosion_sound_limit1 = 5;
    o.explosion_sound_limit2 = 8;
    o.sound_joy_limit = 7;
    o.sound_joy_limit_arcade1 = 5;
    o.sound_joy_limit_challenge1 = 5;
    o.sound_joy_limit_drop = 5;
    o.sound_joy_limit_arcade1_drop = 3;
    o.sound_joy_limit_challenge1_drop = 3;
    o.ball_step = 16;
    o.balls_climb_inc_arcade = 4;
    o.balls_climb_inc_challenge = 3;
    o.balls_climb_inc_puzzle = 2;
    o.bigbomb_expl_count = 8;
    o.bigbomb_radius = 2;
    o.bonus_target_time = 20;
    o.bonus_freeze_time = 10;
    o.bonus_inc_width_time = 15;
    ctx.random.Seed(12345);
    ctx.game.session.level = 2;
    ctx.clocks.game_clock = 100000;
    ctx.game.play.field.colour_count = 4;
    SetCodesFromRowMinusOne(12);
  }

  // Width codes alternating from row -1 upwards, starting with `first`.
  void SetCodesFromRowMinusOne(int first) {
    for (int r = -1; r <= 89; ++r) {
      ctx.game.play.field.code(r) =
          static_cast<std::uint8_t>(((r + 1) % 2 == 0) ? first : 23 - first);
    }
  }

  void Put(int c, int r, int kind, int bonus = 0, int paint = 0) {
    PutBall(ctx, c, r, kind, paint, bonus);
  }
  int Kind(int c, int r) const { return ctx.game.play.field.at(c, r).kind; }
  // Fills a full row (columns 2..code+1) with one kind.
  void FillRow(int r, int kind) {
    for (int c = 2; c < 2 + ctx.game.play.field.code(r); ++c) Put(c, r, kind);
  }
  int Balls() const {
    int n = 0;
    for (const auto& cell : ctx.game.play.field.cells) n += cell.kind != 0 ? 1 : 0;
    return n;
  }
  TMultiSprite& CellPic(int c, int r) const {
    TMultiSprite* m = Pic(ctx, ctx.game.play.field.at(c, r).sprite);
    EXPECT_NE(m, nullptr);
    return *m;
  }
  bool AllMarksZero() const {
    for (const auto& cell : ctx.game.play.field.cells) {
      if (cell.marks != 0) return false;
    }
    return true;
  }
};

}  // namespace qv::test
