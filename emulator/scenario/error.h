// Errors and reports of scenario and list reading.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace emu {

// A file that cannot be used: names the file, the line (0: the file as a whole) and what is wrong.
class ScenarioError : public std::runtime_error {
public:
  ScenarioError(const std::string& file, int line, const std::string& what);
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& reason() const { return reason_; }
private:
  std::string file_;
  int line_;
  std::string reason_;
};

// What reading one list gave: entries kept, lines that could not be read (skipped),
// and readable entries left out on purpose (another satellite, outside the band).
struct ListProblem {
  int line;
  std::string text;   // "file:line: skipped: what" or "file:line: left out: why"
};

struct ListReport {
  std::string file;
  int carriers = 0;
  int services = 0;
  int skipped = 0;
  int left_out = 0;
  std::vector<ListProblem> problems;   // one per skipped or left-out entry, in line order

  void skip(int line, const std::string& what);
  void leaveOut(int line, const std::string& what);
  void sortProblems();                 // for readers that find problems out of line order
  std::string summary() const;         // one line for the log
};

}  // namespace emu
