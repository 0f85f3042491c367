#pragma once
// What the game rules ask of the game scene: sounds, text, and the scene's own objects (cannon,
// board, bonus slot bars, cursor, dragons). The game scene implements it; with no port set the
// requests are dropped, which is what the rules' own tests and benchmarks want.
#include <string_view>

#include "context.h"

namespace qv {

class GameScenePort {
 public:
  virtual ~GameScenePort() = default;

  // A sample by its audio-table name; returns the channel, -1 when nothing plays.
  virtual int PlaySample(Context& ctx, std::string_view name) = 0;
  virtual void StopChannel(Context& ctx, int channel) = 0;
  // One line of glyph pictures under a tag; returns its width.
  virtual double CreateText(Context& ctx, std::string_view text, int z, std::string_view font,
                            int align, std::string_view tag, int color, double scale, double y,
                            double x) = 0;
  // The cannon and the loaded ball turn to the aim angle.
  virtual void SetAimRotation(Context& ctx, double angle) = 0;
  // The puzzle board object.
  virtual double BoardY(Context& ctx) = 0;
  virtual void MoveBoard(Context& ctx, double dy) = 0;
  // Bonus slot bar i (0..5): x and colour.
  virtual void SetSlotBar(Context& ctx, int slot, double x, int color) = 0;
  virtual void SetSlotBarX(Context& ctx, int slot, double x) = 0;
  virtual void SetCursorVariant(Context& ctx, int variant) = 0;
  virtual void ShowMountedRockets(Context& ctx, int count) = 0;
  // A successful shot: both dragons cheer and the challenge drain restarts from now.
  virtual void OnMatch(Context& ctx) = 0;
};

// The part of the port the game core can fill itself: samples from the audio table and text
// from sprite fonts. The game scene derives from it and adds its objects.
class GameSceneServices : public GameScenePort {
 public:
  int PlaySample(Context& ctx, std::string_view name) override;
  void StopChannel(Context& ctx, int channel) override;
  double CreateText(Context& ctx, std::string_view text, int z, std::string_view font, int align,
                    std::string_view tag, int color, double scale, double y, double x) override;
};

// The game rules' samples go through the port, so their tests hear what the rules ask for.
inline int PlayGameSample(Context& ctx, std::string_view name) {
  return ctx.game.run.port ? ctx.game.run.port->PlaySample(ctx, name) : -1;
}

// Stops a channel the game core keeps and forgets it.
inline void StopGameChannel(Context& ctx, int& channel) {
  if (channel >= 0 && ctx.game.run.port) ctx.game.run.port->StopChannel(ctx, channel);
  channel = -1;
}

}  // namespace qv
