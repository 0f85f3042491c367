#include "platform/headless/headless_window.h"

#include <cstdio>

#include "platform/headless/offscreen_device.h"

namespace qv::platform {

DeviceError HeadlessWindow::CreateDevice(bool windowed, bool& fell_back) {
  fell_back = false;
  windowed_ = windowed;
  device_ = CreateOffscreenDevice();
  return device_ ? DeviceError::None : DeviceError::OutOfMemory;
}

void StderrMessageBoxes::Show(MessageKind, std::string_view, std::string_view text) {
  std::fprintf(stderr, "Error: %.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

}  // namespace qv::platform
