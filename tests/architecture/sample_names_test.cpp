// Every sound effect the program names is one of the shared sample names, so the content
// generator, which writes "sound.ini" from the same list, provides it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "base/sample_names.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// "sample_<name>" string literals in the text, by name.
std::set<std::string> NamedSamples(const std::string& text) {
  static const std::regex kLiteral("\"sample_([a-z0-9_]+)\"");
  std::set<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kLiteral);
       it != std::sregex_iterator(); ++it) {
    out.insert((*it)[1].str());
  }
  return out;
}

TEST(SampleNames, LiteralsAreFoundWhereverTheyStand) {
  EXPECT_EQ(NamedSamples("PlaySample(ctx, \"sample_shot1\"); x = {\"sample_dragon_joy2\",\n"
                         "\"sample_hit\"}; // sample_alarm without quotes is prose"),
            (std::set<std::string>{"shot1", "dragon_joy2", "hit"}));
}

TEST(SampleNames, ListHasNoDuplicatesAndLoopsAreListed) {
  const std::set<std::string> names(std::begin(kSampleNames), std::end(kSampleNames));
  EXPECT_EQ(names.size(), std::size(kSampleNames));
  for (const char* looping : kLoopingSampleNames) EXPECT_EQ(names.count(looping), 1u) << looping;
}

TEST(SampleNames, EverySampleTheProgramPlaysIsShared) {
  const std::set<std::string> shared(std::begin(kSampleNames), std::end(kSampleNames));
  std::size_t seen = 0;
  for (const auto& entry : fs::recursive_directory_iterator(QUORVEX_SOURCE_DIR)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().generic_string();
    // The headless audio device records its own "sample_volume" call, not a table entry.
    if (path.find("/platform/") != std::string::npos) continue;
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::string& name : NamedSamples(text)) {
      ++seen;
      EXPECT_EQ(shared.count(name), 1u) << "sample_" << name << " in " << path;
    }
  }
  EXPECT_GT(seen, 20u) << "the game plays many samples; a wrong source path finds none";
}

}  // namespace
}  // namespace qv
