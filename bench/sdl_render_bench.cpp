#include "sdl_render_bench.h"

#include <SDL_opengl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "context.h"
#include "platform/png_writer.h"
#include "platform/sdl/sdl_render_device.h"
#include "platform/sdl/sdl_soft_device.h"
#include "sprites/multisprite.h"
#include "sprites/sprite_hooks.h"

namespace qv::bench {

platform::RenderDevice* SoftwareDevice() {
  static platform::sdl::SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(
      0, platform::kScreenWidth, platform::kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888));
  static std::unique_ptr<platform::RenderDevice> device =
      []() -> std::unique_ptr<platform::RenderDevice> {
    if (!surface) return nullptr;
    platform::sdl::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
    if (!renderer) return nullptr;
    return std::make_unique<platform::sdl::SdlSoftDevice>(std::move(renderer));
  }();
  return device.get();
}

platform::RenderDevice* OpenGlDevice() {
  static platform::sdl::WindowPtr window;
  static std::unique_ptr<platform::RenderDevice> device =
      []() -> std::unique_ptr<platform::RenderDevice> {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    window.reset(SDL_CreateWindow("bench", 0, 0, platform::kScreenWidth, platform::kScreenHeight,
                                  SDL_WINDOW_SHOWN));
    if (!window) return nullptr;
    platform::sdl::RendererPtr renderer(
        SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED));
    SDL_RendererInfo info{};
    if (!renderer || SDL_GetRendererInfo(renderer.get(), &info) != 0 ||
        std::string(info.name) != "opengl")
      return nullptr;
    return std::make_unique<platform::sdl::SdlRenderDevice>(std::move(renderer),
                                                            platform::sdl::SurfacePtr());
  }();
  return device.get();
}

platform::RenderDevice* SdlDevice(int renderer) {
  return renderer == 0 ? SoftwareDevice() : OpenGlDevice();
}

const char* SdlDeviceName(int renderer) {
  return renderer == 0 ? "software" : "opengl";
}

std::string OpenGlRendererName() {
  if (!OpenGlDevice()) return {};
  // The OpenGL renderer keeps its context current on this thread.
  using GetString = const GLubyte*(APIENTRY*)(GLenum);
  const auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const GLubyte* name = get ? get(GL_RENDERER) : nullptr;
  return name ? reinterpret_cast<const char*>(name) : "";
}

SDL_Renderer* RendererOf(platform::RenderDevice& device) {
  if (auto* soft = dynamic_cast<platform::sdl::SdlSoftDevice*>(&device)) return soft->Renderer();
  return static_cast<platform::sdl::SdlRenderDevice&>(device).Renderer();
}

DeviceSwap::DeviceSwap(Context& ctx, platform::RenderDevice* device)
    : ctx_(ctx), before_(ctx.platform.device) {
  SpritesReleaseHook(ctx_);
  ctx_.platform.device = device;
  ok_ = device && SpritesRestoreHook(ctx_);
}

DeviceSwap::~DeviceSwap() {
  SpritesReleaseHook(ctx_);
  ctx_.platform.device = before_;
  SpritesRestoreHook(ctx_);
}

void NaiveRenderer::Prepare(const Context& ctx, SDL_Renderer* renderer) {
  if (renderer_ != renderer) {
    renderer_ = renderer;
    images_.clear();
    by_frames_.clear();
    owned_.clear();
  }
  missing_ = 0;
  const SpriteState& s = ctx.sprites;
  images_.resize(s.textures.size());
  std::vector<bool> shown(s.textures.size());
  for (const TSprite* sprite : s.engine.ZOrder()) {
    const int r = static_cast<const TMyImageSprite*>(sprite)->texture_index;
    if (r >= 0 && r < static_cast<int>(shown.size())) shown[r] = true;
  }
  std::vector<std::uint32_t> pixels;
  for (std::size_t r = 0; r < s.textures.size(); ++r) {
    if (!shown[r] || images_[r].texture) continue;
    const my_bmptexture& rec = s.textures[r];
    const int fw = rec.frame_width, fh = rec.frame_height;
    if (rec.name.empty() || rec.frames.empty() || fw <= 0 || fh <= 0) continue;
    const auto key = std::make_pair(rec.frames.front(), rec.frames.size());
    if (const auto it = by_frames_.find(key); it != by_frames_.end() && it->second.texture) {
      images_[r] = it->second;
      continue;
    }
    Image image;
    image.columns = std::max(1, rec.image_width / fw);
    const int frames = static_cast<int>(rec.frames.size());
    const int w = image.columns * fw;
    const int h = (frames + image.columns - 1) / image.columns * fh;
    pixels.assign(static_cast<std::size_t>(w) * h, 0);
    for (int f = 0; f < frames; ++f) {
      const my_frame& frame = s.frames[rec.frames[f]];
      // A frame's tiles have the size and border it was cut with, not always the record's.
      const int size = frame.tile_size, border = frame.border;
      const int left = f % image.columns * fw, top = f / image.columns * fh;
      for (int t = 0; t < frame.tile_count; ++t) {
        const my_texture& tile = s.tiles[frame.first_tile + t];
        if (!tile.has_content) continue;
        for (int py = 0; py < size; ++py) {
          const int y = tile.y - border + py;
          if (y < 0 || y >= fh) continue;
          for (int px = 0; px < size; ++px) {
            const int x = tile.x - border + px;
            if (x < 0 || x >= fw) continue;
            const std::size_t at = static_cast<std::size_t>(py) * size + px;
            std::uint32_t v = 0;
            if (!tile.pixels32.empty()) {
              v = tile.pixels32[at];
            } else {
              const std::uint32_t c = tile.pixels16[at];  // 4 bits per channel, widened
              for (int shift = 0; shift < 16; shift += 4)
                v |= (c >> shift & 0xF) * 0x11u << 2 * shift;
            }
            pixels[static_cast<std::size_t>(top + y) * w + left + x] = v;
          }
        }
      }
    }
    image.texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
    if (image.texture) {
      owned_.emplace_back(image.texture);
      SDL_UpdateTexture(image.texture, nullptr, pixels.data(), w * 4);
    } else {
      ++missing_;
    }
    by_frames_[key] = image;
    images_[r] = image;
  }
}

int NaiveRenderer::Draw(const Context& ctx, platform::sdl::DrawCallCounter* counter) const {
  const SpriteState& s = ctx.sprites;
  int calls = 0;
  for (const TSprite* sprite : s.engine.ZOrder()) {
    if (sprite->z() < -1000000 || sprite->z() >= 1000000 || !sprite->visible) continue;
    const auto* part = static_cast<const TMyImageSprite*>(sprite);
    const TMultiSprite* m = part->owner;
    if (!m || !m->visible || part->sprite_type != 0) continue;
    if (part->texture_index < 0 || part->texture_index >= static_cast<int>(images_.size()))
      continue;
    const Image& image = images_[part->texture_index];
    const my_bmptexture& rec = s.textures[part->texture_index];
    const int frames = static_cast<int>(rec.frames.size());
    const auto alpha = static_cast<Uint8>(part->alpha * m->alpha / 255);
    if (!image.texture || frames == 0 || alpha == 0) continue;
    const double pos = std::trunc(part->anim_pos) + part->anim_start;
    const int frame = pos < 0 ? 0 : pos >= frames ? frames - 1 : static_cast<int>(pos);
    const double sx = part->scale_x * m->scale_x, sy = part->scale_y * m->scale_y;
    const SDL_FRect dst{
        static_cast<float>(std::trunc(part->x)), static_cast<float>(std::trunc(part->y)),
        static_cast<float>(rec.frame_width * sx), static_cast<float>(rec.frame_height * sy)};
    // Off screen: SDL would clip it all the same, a little later.
    if (dst.x < -dst.w || dst.y < -dst.h || dst.x - platform::kScreenWidth > dst.w ||
        dst.y - platform::kScreenHeight > dst.h)
      continue;
    const SDL_Rect src{frame % image.columns * rec.frame_width,
                       frame / image.columns * rec.frame_height, rec.frame_width, rec.frame_height};
    std::uint32_t c = static_cast<std::uint32_t>(part->color) & 0xFFFFFF;
    const std::uint32_t oc = static_cast<std::uint32_t>(m->color) & 0xFFFFFF;
    if (c == 0xFFFFFF) {
      c = oc;
    } else if (oc != 0xFFFFFF) {
      std::uint32_t mixed = 0;
      for (int shift = 0; shift <= 16; shift += 8)
        mixed |= (c >> shift & 0xFF) * (oc >> shift & 0xFF) / 255 << shift;
      c = mixed;
    }
    const SDL_BlendMode blend = part->alpha_mode ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
    const SDL_ScaleMode scale = rec.border ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
    SDL_SetTextureColorMod(image.texture, c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
    SDL_SetTextureAlphaMod(image.texture, alpha);
    SDL_SetTextureBlendMode(image.texture, blend);
    SDL_SetTextureScaleMode(image.texture, scale);
    if (counter) counter->Draw(image.texture, blend, scale, std::uint32_t{alpha} << 24 | c);
    // SDL turns clockwise in degrees about a point of the destination rectangle.
    const SDL_FPoint centre{
        static_cast<float>(m->rot_center_x * part->scale_x + m->x - s.scroll_x - dst.x),
        static_cast<float>(m->rot_center_y * part->scale_y + m->y - s.scroll_y - dst.y)};
    const int flip =
        (part->draw_flip_x ? SDL_FLIP_HORIZONTAL : 0) | (part->draw_flip_y ? SDL_FLIP_VERTICAL : 0);
    SDL_RenderCopyExF(renderer_, image.texture, &src, &dst, -part->draw_angle * 57.29577951308232,
                      &centre, static_cast<SDL_RendererFlip>(flip));
    ++calls;
  }
  return calls;
}

namespace {

void ReadOnePixel(SDL_Renderer* renderer) {
  std::uint32_t pixel = 0;
  const SDL_Rect one{0, 0, 1, 1};
  SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
}

}  // namespace

int OursFrame(Context& ctx, platform::RenderDevice& device) {
  SpritesCollectHook(ctx);
  const int quads = static_cast<int>(ctx.sprites.draw_list.size());
  device.BeginScene();
  device.Clear(0xFF000000u);
  SpritesRenderHook(ctx, device);
  device.EndScene();
  device.Present();
  ReadOnePixel(RendererOf(device));
  return quads;
}

int NaiveFrame(const Context& ctx, const NaiveRenderer& naive, SDL_Renderer* renderer,
               platform::sdl::DrawCallCounter* counter) {
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  const int calls = naive.Draw(ctx, counter);
  SDL_RenderPresent(renderer);
  ReadOnePixel(renderer);
  return calls;
}

void WritePicture(const std::string& name, Context& ctx, platform::RenderDevice& device,
                  const NaiveRenderer* naive) {
  const char* dir = std::getenv("QUORVEX_BENCH_PICTURES");
  if (!dir || !*dir) return;
  std::vector<std::uint32_t> pixels(platform::kScreenWidth * platform::kScreenHeight);
  // Read before the present: a window's back buffer is undefined after it.
  bool read = false;
  if (naive) {
    SDL_Renderer* renderer = RendererOf(device);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    naive->Draw(ctx);
    read = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                platform::kScreenWidth * 4) == 0;
    SDL_RenderPresent(renderer);
  } else {
    SpritesCollectHook(ctx);
    device.BeginScene();
    device.Clear(0xFF000000u);
    SpritesRenderHook(ctx, device);
    device.EndScene();
    read = device.ReadPixels(pixels.data());
    device.Present();
  }
  const std::string path = std::string(dir) + "/" + name + ".png";
  if (!read ||
      !platform::WritePng(path, pixels.data(), platform::kScreenWidth, platform::kScreenHeight))
    std::fprintf(stderr, "%s: the frame could not be written\n", path.c_str());
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
    std::string key = run.report_label;
    std::string way;
    for (const char* w : {"ours", "naive"}) {
      const std::size_t at = key.find(w);
      if (at == std::string::npos) continue;
      way = w;
      key.erase(at, way.size());
      break;
    }
    if (way.empty()) continue;
    key.erase(
        std::unique(key.begin(), key.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
        key.end());
    while (!key.empty() && key.back() == ' ') key.pop_back();
    if (!times_.count(key)) order_.push_back(key);
    times_[key][way] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(),
                        benchmark::GetTimeUnitString(run.time_unit)};
  }
  ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  for (const std::string& key : order_) {
    const auto& pair = times_[key];
    const auto ours = pair.find("ours"), naive = pair.find("naive");
    if (ours == pair.end() || naive == pair.end()) continue;
    const Times& o = ours->second;
    const Times& n = naive->second;
    std::printf(
        "%s: naive / ours = %.2f by wall time (ours %.3f %s, naive %.3f %s per frame), "
        "%.2f by CPU time (ours %.3f %s, naive %.3f %s)\n",
        key.c_str(), n.wall / o.wall, o.wall, o.unit, n.wall, n.unit, n.cpu / o.cpu, o.cpu, o.unit,
        n.cpu, n.unit);
  }
}

int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Colours only on a terminal, as the library's own console report does by default.
  RatioReporter reporter(isatty(fileno(stdout)) ? RatioReporter::OO_Defaults
                                                : RatioReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace qv::bench
