#include "scene/map.h"

#include <optional>
#include <string>
#include <vector>

#include "base/data_error.h"
#include "base/log.h"
#include "base/text_util.h"
#include "scene/scene_world.h"
#include "platform/files.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

constexpr std::size_t kMaxLine = 255;

// Reads the map line by line; reading past the end gives empty lines, as a text reader does.
class MapReader {
 public:
  explicit MapReader(std::string_view data) : lines_(txt::Lines(data)) {}
  std::string_view Next() {
    ++number_;
    if (number_ > static_cast<int>(lines_.size())) return {};
    return lines_[static_cast<std::size_t>(number_ - 1)].substr(0, kMaxLine);
  }
  int Number() const { return number_; }
  bool AtEnd() const { return number_ >= static_cast<int>(lines_.size()); }

 private:
  std::vector<std::string_view> lines_;
  int number_ = 0;
};

struct ObjectLine {
  int index = 0;
  int x = 0, y = 0;
  std::optional<int> z;
};

// Fields 1..3 are taken as they stand (leading blanks only); field 4 is trimmed and optional.
Expected<void> ParseObjectLine(std::string_view file, int line_no, std::string_view line,
                               ObjectLine& out) {
  const auto fields = txt::Split(line, ',');
  auto field = [&](std::size_t i) -> std::string_view {
    return i < fields.size() ? fields[i] : std::string_view{};
  };
  int* targets[3] = {&out.index, &out.x, &out.y};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto v = txt::ParseInt(field(i));
    if (!v) return Fail(NotAnInteger(file, line_no, field(i)));
    *targets[i] = *v;
  }
  const std::string_view z = txt::Trim(field(3));
  if (!z.empty()) {
    const auto v = txt::ParseInt(z);
    if (!v) return Fail(NotAnInteger(file, line_no, z));
    out.z = *v;
  }
  return {};
}

}  // namespace

int load_location_map(SceneWorld& ctx, std::string_view file) {
  const std::optional<std::string> data =
      platform::FileExists(file) ? platform::ReadWholeFile(file) : std::nullopt;
  if (!data) {
    WriteLog(ctx, "load_location_map(\"" + std::string(file) + "\"), created: 0");
    return 0;
  }
  return LoadLocationMapText(ctx, file, *data);
}

int LoadLocationMapText(SceneWorld& ctx, std::string_view file, std::string_view data) {
  int created = 0;
  {
    ctx.sprites.scroll_x = 0;
    ctx.sprites.scroll_y = 0;
    const std::string tag(file.substr(0, file.size() >= 4 ? file.size() - 4 : 0));
    MapReader reader(data);
    std::string_view line = reader.Next();
    const auto path_count = txt::ParseInt(line);
    if (!path_count) {
      ReportDataError(ctx, "load_location_map", NotAnInteger(file, reader.Number(), line));
      return created;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < *path_count; ++i) {
      // Past the end every line reads empty, so the object count would fail on "": say so
      // now instead of reading a huge count of empty lines.
      if (reader.AtEnd()) {
        ReportDataError(ctx, "load_location_map", NotAnInteger(file, reader.Number() + 1, ""));
        return created;
      }
      std::string path = txt::Lower(reader.Next());
      if (path.size() < 4 || path.compare(path.size() - 4, 4, ".spr") != 0) path += ".spr";
      paths.push_back(std::move(path));
    }
    if (*path_count > 0) {
      line = reader.Next();
      const auto object_count = txt::ParseInt(line);
      if (!object_count) {
        ReportDataError(ctx, "load_location_map", NotAnInteger(file, reader.Number(), line));
        return created;
      }
      for (int i = 0; i < *object_count; ++i) {
        if (reader.AtEnd()) {
          ReportDataError(ctx, "load_location_map", NotAnInteger(file, reader.Number() + 1, ""));
          return created;
        }
        line = reader.Next();
        ObjectLine obj;
        if (const Expected<void> parsed = ParseObjectLine(file, reader.Number(), line, obj);
            !parsed) {
          ReportDataError(ctx, "load_location_map", parsed.error());
          return created;
        }
        // An index outside the path list names nothing.
        if (obj.index < 0 || obj.index >= *path_count) continue;
        TMultiSprite* sprite = CreateMultiSprite(ctx, paths[static_cast<std::size_t>(obj.index)]);
        if (sprite == nullptr) continue;
        ++created;
        if (!sprite->isometric) {
          sprite->x = obj.x;
          sprite->y = obj.y;
          if (obj.z) sprite->z = *obj.z;
        } else {
          sprite->iso_x = obj.x;
          sprite->iso_y = obj.y;
          if (obj.z) sprite->iso_z = *obj.z;
        }
        sprite->tag = tag;
      }
    }
  }
  WriteLog(ctx,
           "load_location_map(\"" + std::string(file) + "\"), created: " + std::to_string(created));
  return created;
}

}  // namespace qv
