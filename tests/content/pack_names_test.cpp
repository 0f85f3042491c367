// Every tag, object, map, text layout and sprite definition the program names is one the
// content pack defines: a misspelt name does nothing at run time (a lookup finds no object, a
// tag shows nothing, a missing file makes nothing), so this test is what catches it.
//
// The source is read as text. A name counts where it stands as the right argument of a call
// that takes names (the table below), whether written there, held by a named constant or table,
// or the variable of a range-for over a list of them. Names the code composes at run time are
// expanded by the test (kComposed) over the range the code uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "content/pack_files.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using pack_check::BaseName;

enum class Role {
  Sprite,      // a sprite definition path
  Map,         // a map file
  TextFile,    // a text layout file
  ListFile,    // a list file; ".msl" when it has no extension
  Object,      // an object name: a definition's base name, in the tag's map when it has one
  TagUse,      // a tag looked up: a map's tag or one the code gives its objects
  TagUnload,   // a tag unloaded: cut like the registry cuts it, then as TagUse
  TagMade,     // a tag the code gives objects it makes
  TypePrefix,  // "text\<prefix><game type>.txt"
  Audio,       // a music or sound name of "music.ini" or "sound.ini"
};

struct ArgRole {
  int arg;
  Role role;
  int tag_arg = -1;           // for Object: the argument that holds its tag
  const char* tag = nullptr;  // for Object: the tag the function always uses
};

// Functions that take names, with the argument positions (0 = the first argument). `file`
// limits a local helper with a common name to the file that defines it.
struct NameTaker {
  const char* name;
  const char* file;
  std::vector<ArgRole> args;
};

const std::vector<NameTaker>& NameTakers() {
  static const std::vector<NameTaker> kTakers = {
      {"FindObject", "", {{1, Role::Object, 3}, {3, Role::TagUse}}},
      {"ShowTag", "", {{1, Role::TagUse}}},
      {"SetTagAlpha", "", {{1, Role::TagUse}}},
      {"OpenDialogFade", "", {{1, Role::TagUse}}},
      {"AddToDialogFade", "", {{1, Role::TagUse}}},
      {"CollectTagged", "", {{1, Role::TagUse}}},
      {"unload_by_tag", "", {{1, Role::TagUnload}}},
      {"OpenDialogButtons", "", {{1, Role::TagUse}, {2, Role::Object, 1}}},
      {"SetPicTag", "", {{2, Role::TagMade}}},
      {"MakePic", "", {{1, Role::Sprite}, {2, Role::TagMade}}},
      {"create_txt", "", {{3, Role::Sprite}, {5, Role::TagMade}}},
      {"CreateText", "", {{3, Role::Sprite}, {5, Role::TagMade}}},
      {"MeasureText", "", {{2, Role::Sprite}}},
      {"ShowTextFile", "", {{1, Role::TextFile}, {2, Role::TagMade}}},
      {"load_location_map", "", {{1, Role::Map}}},
      {"CreateMultiSprite", "", {{1, Role::Sprite}}},
      {"CreateMultiSpriteOf", "", {{1, Role::Sprite}}},
      {"AcquireMultiSprite", "", {{1, Role::Sprite}}},
      {"AcquireMultiSpriteOf", "", {{1, Role::Sprite}}},
      {"GetPrototype", "", {{1, Role::Sprite}}},
      {"LoadPrototype", "", {{1, Role::Sprite}}},
      {"ReadList", "", {{1, Role::ListFile}}},
      {"FindAudio", "", {{1, Role::Audio}}},
      {"PlaySample", "", {{1, Role::Audio}}},
      // Local helpers that pass names on.
      {"Find", "game/hud.cpp", {{1, Role::Object, 2}, {2, Role::TagUse}}},
      {"MakeWithTag", "game/dialogs.cpp", {{1, Role::Sprite}, {2, Role::TagMade}}},
      {"FindAll", "menu/menu_scene.cpp", {{2, Role::Object, 3}, {3, Role::TagUse}}},
      {"FindNth", "menu/menu_scene.cpp", {{2, Role::Object, 3}, {3, Role::TagUse}}},
      {"ShowNamed", "menu/menu_commands.cpp", {{1, Role::Object, -1, "menu_help"}}},
      {"HelpObject", "menu/menu_commands.cpp", {{1, Role::Object, -1, "menu_help"}}},
      {"DrawBars", "menu/menu_commands.cpp", {{3, Role::TagMade}}},
      {"TypeFile", "menu/menu_commands.cpp", {{0, Role::TypePrefix}}},
      {"Make", "loading/loading.cpp", {{1, Role::Sprite}, {2, Role::TagMade}}},
  };
  return kTakers;
}

// Functions that answer a name: every literal they return counts as a use in that role.
struct NameGiver {
  const char* name;
  const char* file;
  Role role;
};

const std::vector<NameGiver>& NameGivers() {
  static const std::vector<NameGiver> kGivers = {
      {"BallTag", "game/field.cpp", Role::TagMade},
      {"BallSpritePath", "game/field.cpp", Role::Sprite},
      {"SpritePath", "game/particles.cpp", Role::Sprite},
      {"GameTitleText", "game/dialogs.cpp", Role::TextFile},
      {"TitleFile", "menu/menu_scores_page.cpp", Role::TextFile},
  };
  return kGivers;
}

// Names built at run time, by the expression as written (blanks removed), and every name it
// gives over the range of its variables.
struct Composed {
  const char* expression;
  std::vector<std::string> names;
};

const std::vector<Composed>& ComposedNames() {
  static const std::vector<Composed> kComposed = {
      // i = 0..2, one per game type.
      {"\"game_comment\"+std::to_string(i+1)", {"game_comment1", "game_comment2", "game_comment3"}},
      // n = level % 7 + 1.
      {"\"graphics\\\\balls\\\\ball\"+n+\"\\\\ball\"+n+\".spr\"",
       {"graphics\\balls\\ball1\\ball1.spr", "graphics\\balls\\ball2\\ball2.spr",
        "graphics\\balls\\ball3\\ball3.spr", "graphics\\balls\\ball4\\ball4.spr",
        "graphics\\balls\\ball5\\ball5.spr", "graphics\\balls\\ball6\\ball6.spr",
        "graphics\\balls\\ball7\\ball7.spr"}},
  };
  return kComposed;
}

// One name as the code uses it.
struct NameUse {
  std::string where;  // "file:line"
  size_t pos;         // in the file, to keep the file's order
  Role role;
  std::string name;
  std::vector<std::string> tags;  // Object: the tags it is looked up under; empty = any
};

// ---- reading the source

// Comments blanked (line breaks kept, so positions keep their lines); literals untouched.
std::string WithoutComments(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (c == '"' || c == '\'') {
      for (++i; i < out.size() && out[i] != c; ++i) {
        if (out[i] == '\\') ++i;
      }
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
      for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
      for (; i + 1 < out.size() && !(out[i] == '*' && out[i + 1] == '/'); ++i) {
        if (out[i] != '\n') out[i] = ' ';
      }
      if (i + 1 < out.size()) out[i] = out[i + 1] = ' ';
      ++i;
    }
  }
  return out;
}

// Index just past the literal or bracketed run that starts at `i`.
size_t SkipLiteral(const std::string& s, size_t i) {
  const char q = s[i];
  for (++i; i < s.size() && s[i] != q; ++i) {
    if (s[i] == '\\') ++i;
  }
  return std::min(i + 1, s.size());
}

// Index of the bracket that closes the one at `open`, or npos.
size_t Closing(const std::string& s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      i = SkipLiteral(s, i) - 1;
    } else if (c == '(' || c == '{' || c == '[') {
      ++depth;
    } else if (c == ')' || c == '}' || c == ']') {
      if (--depth == 0) return i;
    }
  }
  return std::string::npos;
}

// Pieces of `s` between top-level separators `sep`.
std::vector<std::string> SplitTop(const std::string& s, char sep) {
  std::vector<std::string> out;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      i = SkipLiteral(s, i) - 1;
    } else if (c == '(' || c == '{' || c == '[') {
      ++depth;
    } else if (c == ')' || c == '}' || c == ']') {
      --depth;
    } else if (c == sep && depth == 0) {
      out.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(s.substr(start));
  return out;
}

std::string Strip(const std::string& s) {
  return pack_check::Trim(s);
}

std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') {
      const size_t end = SkipLiteral(s, i);
      out += s.substr(i, end - i);
      i = end - 1;
    } else if (!std::isspace(static_cast<unsigned char>(s[i]))) {
      out += s[i];
    }
  }
  return out;
}

std::string Unescaped(const std::string& literal_body) {
  std::string out;
  for (size_t i = 0; i < literal_body.size(); ++i) {
    if (literal_body[i] == '\\' && i + 1 < literal_body.size()) ++i;
    out += literal_body[i];
  }
  return out;
}

// Whether `s` is exactly one string literal; its text in `out`.
bool OneLiteral(const std::string& s, std::string& out) {
  if (s.size() < 2 || s.front() != '"' || SkipLiteral(s, 0) != s.size()) return false;
  out = Unescaped(s.substr(1, s.size() - 2));
  return true;
}

bool TopLevelHas(const std::string& s, char c) {
  return SplitTop(s, c).size() > 1;
}

// What a file's text names: its constants and tables of literals, the range-for variables
// and composed strings with their scopes, and a way to resolve an argument to names.
class SourceFile {
 public:
  SourceFile(std::string path, const std::string& text,
             const std::map<std::string, std::vector<std::string>>* shared)
      : path_(std::move(path)), text_(WithoutComments(text)), shared_(shared) {
    ReadConstants();
    ReadScopes();
  }

  const std::string& text() const { return text_; }
  const std::map<std::string, std::vector<std::string>>& constants() const { return constants_; }

  std::string Where(size_t pos) const {
    return path_ + ":" + std::to_string(1 + std::count(text_.begin(), text_.begin() + pos, '\n'));
  }

  // The names an argument at `pos` can hold; nullopt when it names nothing the test can see
  // (a parameter, a call). A composed argument missing from kComposed is reported.
  std::optional<std::vector<std::string>> Resolve(const std::string& raw, size_t pos,
                                                  std::vector<std::string>* unexpanded) const {
    const std::string e = Strip(raw);
    if (e.empty()) return std::nullopt;
    std::string literal;
    if (OneLiteral(e, literal)) return std::vector<std::string>{literal};
    if (e.front() == '{' && Closing(e, 0) == e.size() - 1) {
      return Union(SplitTop(e.substr(1, e.size() - 2), ','), pos, unexpanded);
    }
    if (const size_t q = QuestionMark(e); q != std::string::npos) {
      const std::string branches = e.substr(q + 1);
      const size_t colon = TopLevelColon(branches);
      if (colon == std::string::npos) return std::nullopt;
      return Union({branches.substr(0, colon), branches.substr(colon + 1)}, pos, unexpanded);
    }
    if (TopLevelHas(e, '+')) {
      if (e.find('"') == std::string::npos) return std::nullopt;
      for (const Composed& c : ComposedNames()) {
        if (WithoutBlanks(e) == c.expression) {
          used_expressions_.insert(c.expression);
          return c.names;
        }
      }
      if (auto joined = Concatenated(SplitTop(e, '+'), pos)) return joined;
      if (unexpanded != nullptr) unexpanded->push_back(e);
      return std::nullopt;
    }
    static const std::regex kIdentifier(R"(^([A-Za-z_]\w*)\s*(\[.*\])?$)");
    std::smatch m;
    if (std::regex_match(e, m, kIdentifier)) return Lookup(m[1].str(), pos, unexpanded);
    return std::nullopt;
  }

  static std::set<std::string>& UsedExpressions() { return used_expressions_; }

 private:
  struct Scope {
    size_t begin, end;
    std::string name;
    std::vector<std::string> values;
    std::string unexpanded;  // a composed string the test cannot expand, reported where used
  };

  static size_t QuestionMark(const std::string& e) {
    int depth = 0;
    for (size_t i = 0; i < e.size(); ++i) {
      const char c = e[i];
      if (c == '"' || c == '\'')
        i = SkipLiteral(e, i) - 1;
      else if (c == '(' || c == '{' || c == '[')
        ++depth;
      else if (c == ')' || c == '}' || c == ']')
        --depth;
      else if (c == '?' && depth == 0)
        return i;
    }
    return std::string::npos;
  }

  static size_t TopLevelColon(const std::string& e) {
    int depth = 0;
    for (size_t i = 0; i < e.size(); ++i) {
      const char c = e[i];
      if (c == '"' || c == '\'')
        i = SkipLiteral(e, i) - 1;
      else if (c == '(' || c == '{' || c == '[')
        ++depth;
      else if (c == ')' || c == '}' || c == ']')
        --depth;
      else if (c == ':' && depth == 0) {
        if (i + 1 < e.size() && e[i + 1] == ':')
          ++i;
        else if (i > 0 && e[i - 1] == ':')
          continue;
        else
          return i;
      }
    }
    return std::string::npos;
  }

  // Every way the pieces join when each is a literal, a constant or a table ("x_" + kTable[i]).
  std::optional<std::vector<std::string>> Concatenated(const std::vector<std::string>& pieces,
                                                       size_t pos) const {
    std::vector<std::string> out{""};
    static const std::regex kStringOf(R"(^std::string\s*\((.*)\)$)");
    for (const std::string& raw : pieces) {
      std::string piece = Strip(raw);
      std::smatch m;
      if (std::regex_match(piece, m, kStringOf)) piece = m[1].str();
      const auto values = Resolve(piece, pos, nullptr);
      if (!values) return std::nullopt;
      std::vector<std::string> next;
      for (const std::string& head : out) {
        for (const std::string& tail : *values) next.push_back(head + tail);
      }
      out.swap(next);
    }
    return out;
  }

  std::optional<std::vector<std::string>> Union(const std::vector<std::string>& parts, size_t pos,
                                                std::vector<std::string>* unexpanded) const {
    std::vector<std::string> out;
    bool any = false;
    for (const std::string& part : parts) {
      if (auto r = Resolve(part, pos, unexpanded)) {
        any = true;
        out.insert(out.end(), r->begin(), r->end());
      }
    }
    if (!any) return std::nullopt;
    return out;
  }

  std::optional<std::vector<std::string>> Lookup(const std::string& name, size_t pos,
                                                 std::vector<std::string>* unexpanded) const {
    const Scope* best = nullptr;
    for (const Scope& s : scopes_) {
      if (s.name == name && s.begin <= pos && pos <= s.end && (!best || s.begin > best->begin)) {
        best = &s;
      }
    }
    if (best != nullptr && !best->unexpanded.empty()) {
      if (unexpanded != nullptr) unexpanded->push_back(best->unexpanded);
      return std::nullopt;
    }
    if (best != nullptr) return best->values;
    if (auto it = constants_.find(name); it != constants_.end()) return it->second;
    if (shared_ != nullptr) {
      if (auto it = shared_->find(name); it != shared_->end()) return it->second;
    }
    return std::nullopt;
  }

  // `constexpr const char* kName = "...";` and `constexpr const char* kName[] = {...};`
  void ReadConstants() {
    static const std::regex kConstant(
        R"(constexpr\s+(?:const\s+char\s*\*|std::string_view|const\s+char\s*\*\s*const)\s*(k\w+)\s*(?:\[[^\]]*\])?\s*=\s*)");
    for (auto it = std::sregex_iterator(text_.begin(), text_.end(), kConstant);
         it != std::sregex_iterator(); ++it) {
      const size_t start = it->position() + it->length();
      const size_t end = text_.find(';', start);
      if (end == std::string::npos) continue;
      if (auto r = Resolve(text_.substr(start, end - start), start, nullptr)) {
        constants_[(*it)[1].str()] = *r;
      }
    }
  }

  // Range-for variables over names, and strings composed from names, with their scopes.
  void ReadScopes() {
    static const std::regex kRangeFor(
        R"(\bfor\s*\(\s*(?:const\s+)?(?:char\s*\*|auto\s*&?|std::string_view|std::string\s*&)\s*(\w+)\s*:)");
    for (auto it = std::sregex_iterator(text_.begin(), text_.end(), kRangeFor);
         it != std::sregex_iterator(); ++it) {
      const size_t open = text_.find('(', it->position());
      const size_t close = Closing(text_, open);
      if (close == std::string::npos) continue;
      const size_t range = it->position() + it->length();
      auto values = Resolve(text_.substr(range, close - range), range, nullptr);
      if (!values) continue;
      size_t body = text_.find_first_not_of(" \t\r\n", close + 1);
      const size_t end = body != std::string::npos && text_[body] == '{' ? Closing(text_, body)
                                                                         : text_.find(';', close);
      scopes_.push_back({close, end, (*it)[1].str(), *values, ""});
    }
    static const std::regex kComposedString(R"((?:const\s+)?std::string\s+(\w+)\s*=\s*([^;]*);)");
    for (auto it = std::sregex_iterator(text_.begin(), text_.end(), kComposedString);
         it != std::sregex_iterator(); ++it) {
      const size_t pos = it->position();
      std::vector<std::string> missed;
      auto values = Resolve((*it)[2].str(), pos, &missed);
      if (values) {
        scopes_.push_back({pos, EndOfBlock(pos), (*it)[1].str(), *values, ""});
      } else if (!missed.empty()) {
        scopes_.push_back({pos, EndOfBlock(pos), (*it)[1].str(), {}, missed.front()});
      }
    }
  }

  size_t EndOfBlock(size_t pos) const {
    int depth = 0;
    for (size_t i = pos; i < text_.size(); ++i) {
      const char c = text_[i];
      if (c == '"' || c == '\'')
        i = SkipLiteral(text_, i) - 1;
      else if (c == '{')
        ++depth;
      else if (c == '}' && --depth < 0)
        return i;
    }
    return text_.size();
  }

  std::string path_;
  std::string text_;
  const std::map<std::string, std::vector<std::string>>* shared_;
  std::map<std::string, std::vector<std::string>> constants_;
  std::vector<Scope> scopes_;
  static inline std::set<std::string> used_expressions_;
};

// Every name a file's calls use; composed arguments the test cannot expand go to `unexpanded`.
std::vector<NameUse> NameUses(const SourceFile& file, const std::string& rel_path,
                              std::vector<std::string>& unexpanded, std::set<std::string>& found) {
  std::vector<NameUse> out;
  const std::string& text = file.text();
  for (const NameTaker& taker : NameTakers()) {
    if (*taker.file != '\0' && rel_path != taker.file) continue;
    const std::regex call(std::string(R"((^|[^\w:])()") + taker.name + R"()\s*(<[^<>()]*>)?\s*\()");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), call);
         it != std::sregex_iterator(); ++it) {
      const size_t name_pos = it->position(2);
      found.insert(taker.name);
      const size_t open = it->position() + it->length() - 1;
      const size_t close = Closing(text, open);
      if (close == std::string::npos) continue;
      const std::vector<std::string> args = SplitTop(text.substr(open + 1, close - open - 1), ',');
      const auto resolved = [&](int index) -> std::optional<std::vector<std::string>> {
        if (index < 0 || index >= static_cast<int>(args.size())) return std::nullopt;
        std::vector<std::string> missed;
        auto r = file.Resolve(args[index], open, &missed);
        for (const std::string& m : missed) unexpanded.push_back(file.Where(name_pos) + " " + m);
        return r;
      };
      for (const ArgRole& role : taker.args) {
        const auto names = resolved(role.arg);
        if (!names) continue;
        std::vector<std::string> tags;
        if (role.tag != nullptr) {
          tags.push_back(role.tag);
        } else if (role.tag_arg >= 0) {
          if (auto t = resolved(role.tag_arg)) tags = *t;
        }
        for (const std::string& name : *names) {
          out.push_back({file.Where(name_pos), name_pos, role.role, name, tags});
        }
      }
    }
  }
  for (const NameGiver& giver : NameGivers()) {
    if (rel_path != giver.file) continue;
    const std::regex definition(std::string(R"((^|[^\w:])()") + giver.name +
                                R"()\s*\([^()]*\)\s*\{)");
    std::smatch m;
    if (!std::regex_search(text, m, definition)) continue;
    found.insert(giver.name);
    const size_t open = m.position() + m.length() - 1;
    const std::string body = text.substr(open, Closing(text, open) - open);
    static const std::regex kReturn(R"(\breturn\b([^;]*);)");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), kReturn);
         it != std::sregex_iterator(); ++it) {
      const size_t pos = open + it->position();
      if (auto names = file.Resolve((*it)[1].str(), pos, nullptr)) {
        for (const std::string& name : *names)
          out.push_back({file.Where(pos), pos, giver.role, name, {}});
      }
    }
  }
  // Objects given a tag by assignment.
  static const std::regex kTagged(R"((?:->|\.)tag\s*=\s*([^;]*);)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kTagged);
       it != std::sregex_iterator(); ++it) {
    if (auto names = file.Resolve((*it)[1].str(), it->position(), nullptr)) {
      for (const std::string& name : *names) {
        out.push_back({file.Where(it->position()),
                       static_cast<size_t>(it->position()),
                       Role::TagMade,
                       name,
                       {}});
      }
    }
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const NameUse& a, const NameUse& b) { return a.pos < b.pos; });
  return out;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Relative(const fs::path& path) {
  return fs::relative(path, QUORVEX_SOURCE_DIR).generic_string();
}

// The whole program's uses: constants of headers are seen by every file.
struct ProgramNames {
  std::vector<NameUse> uses;
  std::vector<std::string> unexpanded;
  std::set<std::string> functions;  // the name takers and givers met
};

ProgramNames ReadProgram() {
  SourceFile::UsedExpressions().clear();
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(QUORVEX_SOURCE_DIR)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".cpp" || ext == ".h")) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  std::map<std::string, std::vector<std::string>> shared;
  for (const fs::path& f : files) {
    if (f.extension() != ".h") continue;
    const SourceFile header(Relative(f), ReadText(f), nullptr);
    shared.insert(header.constants().begin(), header.constants().end());
  }
  ProgramNames out;
  for (const fs::path& f : files) {
    const SourceFile file(Relative(f), ReadText(f), &shared);
    auto uses = NameUses(file, Relative(f), out.unexpanded, out.functions);
    out.uses.insert(out.uses.end(), uses.begin(), uses.end());
  }
  return out;
}

// ---- what the pack defines

struct PackNames {
  std::set<std::string> files;                               // game paths
  std::set<std::string> sprite_names;                        // definition base names
  std::map<std::string, std::set<std::string>> map_objects;  // map tag -> object names
  std::set<std::string> audio;                               // music and sound names
};

PackNames ReadPack() {
  PackNames out;
  for (const auto& e : fs::recursive_directory_iterator(pack_check::PackRoot())) {
    if (e.is_regular_file()) out.files.insert(pack_check::GamePath(e.path()));
  }
  for (const std::string& spr : pack_check::FilesWith(".spr"))
    out.sprite_names.insert(BaseName(spr));
  for (const std::string& map : pack_check::FilesWith(".map")) {
    std::set<std::string>& objects = out.map_objects[BaseName(map)];
    for (const std::string& line : pack_check::Lines(pack_check::Read(map))) {
      const std::string path = pack_check::Trim(line);
      if (path.size() > 4 && path.substr(path.size() - 4) == ".spr") objects.insert(BaseName(path));
    }
  }
  for (const char* list : {"music.ini", "sound.ini"}) {
    for (const std::string& line : pack_check::Counted(list)) {
      out.audio.insert(pack_check::Trim(pack_check::Split(line, ',')[0]));
    }
  }
  return out;
}

// The tag unload_by_tag acts on: cut before the first "." unless the name starts with it.
std::string UnloadTag(const std::string& tag) {
  const size_t dot = tag.find('.');
  return dot == std::string::npos || dot == 0 ? tag : tag.substr(0, dot);
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Every complaint about the uses, one line each, naming file and line.
std::vector<std::string> Undefined(const std::vector<NameUse>& uses, const PackNames& pack) {
  std::set<std::string> made;
  for (const NameUse& u : uses) {
    if (u.role == Role::TagMade) made.insert(u.name);
  }
  std::vector<std::string> out;
  const auto need_file = [&](const NameUse& u, const std::string& path, const char* what) {
    if (pack.files.count(path) == 0) out.push_back(u.where + ": " + what + " \"" + path + "\"");
  };
  for (const NameUse& u : uses) {
    switch (u.role) {
      case Role::Sprite:
        if (!EndsWith(u.name, ".spr"))
          out.push_back(u.where + ": not a definition \"" + u.name + "\"");
        else
          need_file(u, u.name, "no sprite definition");
        break;
      case Role::Map:
        need_file(u, u.name, "no map");
        break;
      case Role::TextFile:
        need_file(u, u.name, "no text layout");
        break;
      case Role::ListFile:
        need_file(u, u.name.find('.') == std::string::npos ? u.name + ".msl" : u.name, "no list");
        break;
      case Role::TypePrefix:
        for (const char* type : {"arcade", "challenge", "puzzle"}) {
          need_file(u, "text\\" + u.name + type + ".txt", "no text layout");
        }
        break;
      case Role::Object:
        if (pack.sprite_names.count(u.name) == 0) {
          out.push_back(u.where + ": no object \"" + u.name + "\"");
          break;
        }
        for (const std::string& tag : u.tags) {
          const auto map = pack.map_objects.find(tag);
          if (map != pack.map_objects.end() && map->second.count(u.name) == 0) {
            out.push_back(u.where + ": no object \"" + u.name + "\" in \"" + tag + ".map\"");
          }
        }
        break;
      case Role::TagUse:
      case Role::TagUnload: {
        const std::string tag = u.role == Role::TagUnload ? UnloadTag(u.name) : u.name;
        if (!tag.empty() && pack.map_objects.count(tag) == 0 && made.count(tag) == 0) {
          out.push_back(u.where + ": no tag \"" + tag + "\" (no map, and the code makes none)");
        }
        break;
      }
      case Role::Audio:
        if (pack.audio.count(u.name) == 0)
          out.push_back(u.where + ": no sound or music \"" + u.name + "\"");
        break;
      case Role::TagMade:
        break;
    }
  }
  return out;
}

// ---- the reader itself

std::vector<NameUse> UsesOf(const std::string& rel_path, const std::string& text,
                            std::vector<std::string>* unexpanded = nullptr) {
  const SourceFile file(rel_path, text, nullptr);
  std::vector<std::string> missed;
  std::set<std::string> found;
  auto uses = NameUses(file, rel_path, missed, found);
  if (unexpanded != nullptr) *unexpanded = missed;
  return uses;
}

std::set<std::string> NamesIn(const std::vector<NameUse>& uses, Role role) {
  std::set<std::string> out;
  for (const NameUse& u : uses) {
    if (u.role == role) out.insert(u.name);
  }
  return out;
}

TEST(PackNames, NamesAreFoundWhereverTheyStand) {
  const auto uses =
      UsesOf("x.cpp",
             "constexpr const char* kTags[] = {\"t_table1\", \"t_table2\"};\n"
             "constexpr const char* kPath = \"graphics\\\\a\\\\b.spr\";\n"
             "void F(Context& ctx, int page) {\n"
             "  ShowTag(ctx, \"t_plain\", true);  // ShowTag(ctx, \"t_comment\")\n"
             "  for (const char* tag : {\"t_loop1\", \"t_loop2\"}) {\n"
             "    unload_by_tag(ctx, tag);\n"
             "  }\n"
             "  for (const char* tag : kTags) SetTagAlpha(ctx, tag, 0);\n"
             "  OpenDialogFade(ctx, {\"t_list1\", kTags[1]});\n"
             "  ShowTextFile(ctx, page == 1 ? \"text\\\\p1.txt\" : \"text\\\\p2.txt\",\n"
             "               \"t_made\", \"\");\n"
             "  MakePic(ctx, kPath, tag_param);\n"
             "  FindAudio(ctx, std::string(\"sample_\") + kTags[i]);\n"
             "}\n");
  EXPECT_EQ(NamesIn(uses, Role::TagUse),
            (std::set<std::string>{"t_plain", "t_table1", "t_table2", "t_list1"}));
  EXPECT_EQ(NamesIn(uses, Role::TagUnload), (std::set<std::string>{"t_loop1", "t_loop2"}));
  EXPECT_EQ(NamesIn(uses, Role::TextFile), (std::set<std::string>{"text\\p1.txt", "text\\p2.txt"}));
  EXPECT_EQ(NamesIn(uses, Role::TagMade), (std::set<std::string>{"t_made"}));
  EXPECT_EQ(NamesIn(uses, Role::Sprite), (std::set<std::string>{"graphics\\a\\b.spr"}));
  EXPECT_EQ(NamesIn(uses, Role::Audio),
            (std::set<std::string>{"sample_t_table1", "sample_t_table2"}));
  for (const NameUse& u : uses) {
    if (u.name == "t_plain") {
      EXPECT_EQ(u.where, "x.cpp:4");
    } else if (u.name == "t_made") {
      EXPECT_EQ(u.where, "x.cpp:10");
    }
  }
}

TEST(PackNames, ObjectsCarryTheirTagAndComposedNamesAreExpandedOrReported) {
  std::vector<std::string> unexpanded;
  const auto uses = UsesOf("x.cpp",
                           "void F(Context& ctx, int i, int k) {\n"
                           "  FindObject(ctx, \"panel_ok\", -1, \"game_stat\");\n"
                           "  const std::string tag = \"game_comment\" + std::to_string(i + 1);\n"
                           "  ShowTag(ctx, tag, false);\n"
                           "  ShowTag(ctx, \"t_\" + std::to_string(k), false);\n"
                           "  const std::string made = \"u_\" + std::to_string(k);\n"
                           "  ShowTag(ctx, made, false);\n"
                           "}\n"
                           "void G(Context& ctx, const char* tag) { ShowTag(ctx, tag, true); }\n",
                           &unexpanded);
  ASSERT_FALSE(uses.empty());
  EXPECT_EQ(uses[0].role, Role::Object);
  EXPECT_EQ(uses[0].name, "panel_ok");
  EXPECT_EQ(uses[0].tags, std::vector<std::string>{"game_stat"});
  // The composed tag is seen inside its block only: G's parameter of the same name is not it.
  EXPECT_EQ(NamesIn(uses, Role::TagUse), (std::set<std::string>{"game_stat", "game_comment1",
                                                                "game_comment2", "game_comment3"}));
  ASSERT_EQ(unexpanded.size(), 2u);
  EXPECT_NE(unexpanded[0].find("x.cpp:5"), std::string::npos) << unexpanded[0];
  // A composed string held in a variable is reported where a name is expected.
  EXPECT_NE(unexpanded[1].find("x.cpp:7"), std::string::npos) << unexpanded[1];
}

TEST(PackNames, AMisspeltNameIsReportedWithItsPlace) {
  PackNames pack;
  pack.files = {"menu.map", "graphics\\menu\\panel_ok.spr", "text\\a.txt"};
  pack.sprite_names = {"panel_ok", "menu_panel"};
  pack.map_objects = {{"menu", {"menu_panel"}}};
  const auto uses = UsesOf("m.cpp",
                           "void F(Context& ctx) {\n"
                           "  load_location_map(ctx, \"menu.map\");\n"
                           "  FindObject(ctx, \"menu_panel\", -1, \"menu\");\n"
                           "  ShowTextFile(ctx, \"text\\\\a.txt\", \"menu_text\", \"\");\n"
                           "  ShowTag(ctx, \"menu_text\", true);\n"
                           "  unload_by_tag(ctx, \"menu.map\");\n"
                           "  ShowTag(ctx, \"menu_txet\", true);\n"
                           "  FindObject(ctx, \"panel_ok\", -1, \"menu\");\n"
                           "  FindObject(ctx, \"menu_pannel\", -1, \"\");\n"
                           "  load_location_map(ctx, \"mneu.map\");\n"
                           "  MakePic(ctx, \"graphics\\\\menu\\\\panel_ko.spr\", \"\");\n"
                           "}\n");
  EXPECT_EQ(Undefined(uses, pack),
            (std::vector<std::string>{
                "m.cpp:7: no tag \"menu_txet\" (no map, and the code makes none)",
                "m.cpp:8: no object \"panel_ok\" in \"menu.map\"",
                "m.cpp:9: no object \"menu_pannel\"",
                "m.cpp:10: no map \"mneu.map\"",
                "m.cpp:11: no sprite definition \"graphics\\menu\\panel_ko.spr\"",
            }));
}

// ---- the program against the pack

TEST(PackNames, EveryNameTheProgramUsesIsInThePack) {
  const ProgramNames program = ReadProgram();
  const PackNames pack = ReadPack();
  for (const std::string& u : program.unexpanded) {
    ADD_FAILURE() << u << ": a composed name; list what it gives in kComposed";
  }
  for (const std::string& complaint : Undefined(program.uses, pack)) ADD_FAILURE() << complaint;
  for (const NameTaker& t : NameTakers()) {
    EXPECT_EQ(program.functions.count(t.name), 1u) << t.name << " is gone; follow its rename";
  }
  for (const NameGiver& g : NameGivers()) {
    EXPECT_EQ(program.functions.count(g.name), 1u) << g.name << " is gone; follow its rename";
  }
  for (const Composed& c : ComposedNames()) {
    EXPECT_EQ(SourceFile::UsedExpressions().count(c.expression), 1u)
        << c.expression << " is no longer in the source; drop it from kComposed";
  }
  // A wrong source path or a reader that lost its way finds next to nothing.
  EXPECT_GT(NamesIn(program.uses, Role::Object).size(), 50u);
  EXPECT_GT(NamesIn(program.uses, Role::TagUse).size(), 40u);
  EXPECT_GT(NamesIn(program.uses, Role::Sprite).size(), 20u);
  EXPECT_GT(NamesIn(program.uses, Role::Map).size(), 15u);
  EXPECT_GT(NamesIn(program.uses, Role::TextFile).size(), 30u);
  EXPECT_GT(NamesIn(program.uses, Role::Audio).size(), 30u);
}

// Paths the program writes anywhere, whatever takes them: every definition, map and layout.
TEST(PackNames, EveryPathLiteralIsInThePack) {
  const PackNames pack = ReadPack();
  static const std::regex kLiteral(
      R"re("((?:[a-z0-9_ ]+\\\\)*[a-z0-9_ ]+\.(?:spr|map|msl|txt))")re");
  std::size_t seen = 0;
  for (const auto& e : fs::recursive_directory_iterator(QUORVEX_SOURCE_DIR)) {
    if (!e.is_regular_file()) continue;
    const std::string text = WithoutComments(ReadText(e.path()));
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kLiteral);
         it != std::sregex_iterator(); ++it) {
      const std::string path = Unescaped((*it)[1].str());
      // The game's own files ("players.txt", "log.txt"...) sit at the top, beside no content.
      if (path.find('\\') == std::string::npos && EndsWith(path, ".txt")) continue;
      ++seen;
      EXPECT_EQ(pack.files.count(path), 1u)
          << Relative(e.path()) << ":"
          << 1 + std::count(text.begin(), text.begin() + it->position(), '\n') << ": \"" << path
          << "\"";
    }
  }
  EXPECT_GT(seen, 50u);
}

}  // namespace
}  // namespace qv
