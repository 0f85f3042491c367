#pragma once
// The sprite definition reader and the prototype cache.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct SpriteWorld;

// Trims and lower-cases the path; a ".spr" path is reduced to its file name without extension.
// The index of the prototype of that name, or -1.
int FindPrototype(const SpriteWorld& ctx, std::string_view path);
// Reads the definition file at `path` into a prototype slot and returns its index. A missing
// file gives an empty, unnamed prototype.
int LoadPrototype(SpriteWorld& ctx, std::string_view path);
// The same from bytes already read (fuzzing, tests); `path` names the prototype and locates
// the images.
int LoadPrototypeFromBytes(SpriteWorld& ctx, std::string_view path, std::string_view bytes);
// FindPrototype, else LoadPrototype.
int GetPrototype(SpriteWorld& ctx, std::string_view path);

// Text rules of definition files, exposed for tests.
namespace spr {

// The lines the reader handles: split, cut to 255, trimmed, lower-cased, comments removed,
// empty lines dropped.
std::vector<std::string> SplitLines(std::string_view bytes);
std::string Trim(std::string_view s);
std::vector<std::string_view> SplitFields(std::string_view line);
// Integer with optional sign and "$", "0x" or "x" hexadecimal prefix; nothing when invalid.
std::optional<std::int32_t> ParseInteger(std::string_view s);
// Decimal real; an invalid text gives its longest valid prefix, or 0.
double ParseReal(std::string_view s);
// "graphics\a\..\b\x.png" -> "graphics\b\x.png".
std::string CollapseParentDirs(std::string path);
std::string BaseName(std::string_view path);
std::string DirectoryOf(std::string_view path);

}  // namespace spr
}  // namespace qv
