#include "emulatore.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace prova {

Esecuzione eseguiEmulatore(const std::vector<std::string>& args, const std::string& casa, int secondi) {
  Esecuzione e;
  const std::string log = casa + "/emulatore.out";
  // Everything the child needs is made before fork: it only redirects and executes.
  const int uscita = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int nulla = open("/dev/null", O_RDONLY);
  if (uscita < 0 || nulla < 0)
    return e;
  std::string exe = SCRUTA_EMU_PATH;
  std::vector<std::string> copia = args;
  std::vector<char*> argv{exe.data()};
  for (auto& a : copia)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> ambiente{"HOME=" + casa, "XDG_STATE_HOME=" + casa + "/state"};
  for (char** v = environ; *v; ++v)
    if (std::strncmp(*v, "HOME=", 5) != 0 && std::strncmp(*v, "XDG_STATE_HOME=", 15) != 0)
      ambiente.push_back(*v);
  std::vector<char*> envp;
  for (auto& v : ambiente)
    envp.push_back(v.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(nulla, 0);
    dup2(uscita, 1);
    dup2(uscita, 2);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(uscita);
  close(nulla);
  if (pid < 0)
    return e;
  const auto fine = std::chrono::steady_clock::now() + std::chrono::seconds(secondi);
  int st = 0;
  while (waitpid(pid, &st, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > fine) {
      kill(pid, SIGKILL);
      waitpid(pid, &st, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  e.stato = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  e.uscita = leggiFile(log);
  return e;
}

std::string cartellaTemporanea() {
  const char* tmp = getenv("TMPDIR");
  std::string modello = std::string(tmp && *tmp ? tmp : "/tmp") + "/scrutafasci-widgets-XXXXXX";
  if (!mkdtemp(modello.data()))
    return std::string();
  return modello;
}

void rimuoviCartella(const std::string& cartella) {
  std::error_code ec;
  if (!cartella.empty())
    std::filesystem::remove_all(cartella, ec);
}

std::string leggiFile(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace prova
