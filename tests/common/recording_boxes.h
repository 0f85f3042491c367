#pragma once
// Message boxes that remember what they were asked to show.
#include <string>
#include <vector>

#include "platform/window.h"

namespace qv::test {

class RecordingBoxes final : public platform::MessageBoxes {
 public:
  struct Box {
    platform::MessageKind kind;
    std::string caption, text;
  };
  void Show(platform::MessageKind kind, std::string_view caption, std::string_view text) override {
    boxes.push_back({kind, std::string(caption), std::string(text)});
  }
  std::vector<Box> boxes;
};

}  // namespace qv::test
