#include "game/scene_port.h"

#include "audio/audio.h"
#include "scene/text.h"

namespace qv {

int GameSceneServices::PlaySample(Context& ctx, std::string_view name) {
  return ::qv::PlaySample(ctx, name);
}

void GameSceneServices::StopChannel(Context& ctx, int channel) {
  if (channel > 0) ::qv::StopChannel(ctx, channel);
}

double GameSceneServices::CreateText(Context& ctx, std::string_view text, int z,
                                     std::string_view font, int align, std::string_view tag,
                                     int color, double scale, double y, double x) {
  return create_txt(ctx, text, z, font, align, tag, color, scale, y, x);
}

}  // namespace qv
