#include "window/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace qv::test {
namespace {

using Clock = std::chrono::steady_clock;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

bool HaveProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

bool Child::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const std::string& out_file, int keep_fd) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    // Own process group: a signal for the child never reaches the test. And it ends with the
    // test, even one killed at its time limit, so no X server outlives the run.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    const int out = open(out_file.empty() ? "/dev/null" : out_file.c_str(),
                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, 0);
    // Only the standard streams and the one descriptor asked for reach the program.
    for (int fd = 3; fd < 256; ++fd)
      if (fd != keep_fd) close(fd);
    execvp(args[0], args.data());
    _exit(127);
  }
  pid_ = pid;
  reaped_ = false;
  return true;
}

int Child::Wait(int ms) {
  if (pid_ < 0) return -1;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (!reaped_) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (Clock::now() >= end) return -1;
    Sleep(10);
  }
  return status_;
}

bool Child::running() {
  if (pid_ < 0 || reaped_) return false;
  Wait(0);
  return !reaped_;
}

Child::~Child() {
  if (pid_ < 0 || reaped_) return;
  kill(pid_, SIGTERM);
  if (Wait(3000) == -1 && !reaped_) {
    kill(pid_, SIGKILL);
    Wait(3000);
  }
}

bool XSession::Start(int w, int h, const std::string& log_dir, std::string& error) {
  int fds[2];
  if (pipe(fds) != 0) {
    error = "pipe failed";
    return false;
  }
  // Xvfb picks a display number nobody uses and writes it to the pipe once it accepts clients.
  const std::string screen = std::to_string(w) + "x" + std::to_string(h) + "x24";
  const std::string server_log = log_dir + "/xvfb.txt";
  if (!server_.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                      "-nolisten", "tcp"},
                     {}, server_log, fds[1])) {
    error = "cannot start Xvfb";
    return false;
  }
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    error = "Xvfb gave no display number: " + Run("cat " + server_log);
    return false;
  }
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
  // The window manager once died at its start on a loaded machine, with no word; a second
  // try costs nothing, and its output is kept for the report.
  const std::string manager_log = log_dir + "/evilwm.txt";
  for (int attempt = 0; attempt < 3; ++attempt) {
    // The default font of the window manager need not exist on a bare server; "fixed" always
    // does.
    if (!manager_.Start({"evilwm", "-fn", "fixed"}, {}, manager_log)) {
      error = "cannot start evilwm";
      return false;
    }
    // Up once it answers for the desktop properties it keeps on the root window.
    const auto end = Clock::now() + std::chrono::seconds(10);
    for (;;) {
      int status = 0;
      Run("xdotool get_num_desktops", &status);
      if (status == 0) return true;
      if (Clock::now() >= end || !manager_.running()) break;
      Sleep(20);
    }
    if (manager_.running()) break;
  }
  error = "the window manager did not come up on " + display_ + ": " + Run("cat " + manager_log) +
          "; X server " + (server_.running() ? "running" : "gone") + ": " +
          Run("cat " + server_log);
  return false;
}

std::string Run(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) {
    if (status) *status = -1;
    return out;
  }
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  const int raw = pclose(pipe);
  if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

}  // namespace qv::test
