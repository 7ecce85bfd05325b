// Runs the built scrutafasci-emu on a pseudo-terminal, as tmux or a terminal
// window would: keys are typed into it and what it draws is read back.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace apptest {

class EmuPty {
public:
  // Starts SCRUTA_EMU_PATH with args on a pty of cols x rows; HOME as in runEmu.
  EmuPty(const std::vector<std::string>& args, const std::string& home, int cols = 100, int rows = 40);
  ~EmuPty();
  EmuPty(const EmuPty&) = delete;
  EmuPty& operator=(const EmuPty&) = delete;

  void type(const std::string& bytes);
  // Reads until the output after `from` (a position in text()) holds part; false on timeout.
  bool waitFor(const std::string& part, double timeoutS = 30, size_t from = 0);
  // All output so far with the terminal's control sequences taken out.
  const std::string& text() const { return text_; }
  const std::string& raw() const { return raw_; }
  size_t mark() const { return text_.size(); }
  // Waits for the end; the exit status (128 + signal when killed after timeoutS).
  int finish(double timeoutS = 60);

private:
  void pump(int timeoutMs);
  pid_t pid_ = -1;
  int master_ = -1;
  int status_ = -1;
  std::string raw_, text_;
};

// Terminal output without escape sequences and carriage returns.
std::string plainText(const std::string& raw);

}  // namespace apptest
