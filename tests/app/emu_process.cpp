#include "emu_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace apptest {

void execEmu(const std::vector<std::string>& args, const std::string& home) {
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
  std::vector<char*> argv;
  std::string exe = SCRUTA_EMU_PATH;
  argv.push_back(exe.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(exe.c_str(), argv.data());
  _exit(127);
}

EmuRun runEmu(const std::vector<std::string>& args, const std::string& home, double timeoutS,
              const std::string& input) {
  int outp[2], errp[2], inp[2];
  if (pipe(outp) || pipe(errp) || pipe(inp)) throw std::runtime_error("pipe");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(inp[0], 0);
    dup2(outp[1], 1);
    dup2(errp[1], 2);
    for (int fd : {inp[0], inp[1], outp[0], outp[1], errp[0], errp[1]}) close(fd);
    execEmu(args, home);
  }
  close(inp[0]);
  close(outp[1]);
  close(errp[1]);
  if (!input.empty()) {
    ssize_t n = write(inp[1], input.data(), input.size());
    (void)n;
  }
  close(inp[1]);
  EmuRun r;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  bool killed = false;
  pollfd fds[2] = {{outp[0], POLLIN, 0}, {errp[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    if (std::chrono::steady_clock::now() > end && !killed) {
      kill(pid, SIGKILL);
      killed = true;
    }
    if (poll(fds, 2, 100) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[4096];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return r;
}

}  // namespace apptest
