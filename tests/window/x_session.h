#pragma once
// A private X display for tests that drive the real game window: Xvfb on a display number it
// picks itself, a small window manager (fullscreen and closing go through one, as on a
// desktop), xdotool for input, and the game started windowed on it.
#include <string>
#include <vector>

namespace qv::test {

// Whether a program is on PATH.
bool HaveProgram(const std::string& name);

// A child process, ended (SIGTERM, then SIGKILL) when destroyed unless it has exited.
class Child {
 public:
  Child() = default;
  // Runs argv with extra environment entries ("NAME=value"); standard output and error go to
  // the given files (or /dev/null when empty).
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& out_file = "", int keep_fd = -1);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  int pid() const { return pid_; }
  // Waits up to ms for the exit; the exit status, or -1 on a timeout or a signal.
  int Wait(int ms);
  bool running();

 private:
  int pid_ = -1;
  int status_ = -1;
  bool reaped_ = false;
};

class XSession {
 public:
  // Starts Xvfb with a screen of w x h and the window manager; DISPLAY is set in this process
  // so xdotool and the children find it. Their output goes to files in log_dir.
  bool Start(int w, int h, const std::string& log_dir, std::string& error);
  const std::string& display() const { return display_; }

 private:
  Child server_;
  Child manager_;
  std::string display_;
};

// Runs a shell command line (xdotool ...) and returns its standard output; exit status in
// *status when given.
std::string Run(const std::string& command, int* status = nullptr);

}  // namespace qv::test
