#include <emulator/scenario/error.h>

#include <algorithm>

namespace emu {

namespace {
std::string place(const std::string& file, int line) {
  return line > 0 ? file + ":" + std::to_string(line) : file;
}
}  // namespace

ScenarioError::ScenarioError(const std::string& file, int line, const std::string& what)
    : std::runtime_error(place(file, line) + ": " + what), file_(file), line_(line), reason_(what) {}

void ListReport::skip(int line, const std::string& what) {
  ++skipped;
  problems.push_back({line, place(file, line) + ": skipped: " + what});
}

void ListReport::leaveOut(int line, const std::string& what) {
  ++left_out;
  problems.push_back({line, place(file, line) + ": left out: " + what});
}

void ListReport::sortProblems() {
  std::stable_sort(problems.begin(), problems.end(),
                   [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
}

std::string ListReport::summary() const {
  std::string s = file + ":";
  if (carriers || !services) s += " " + std::to_string(carriers) + " transponders";
  if (services) s += std::string(carriers ? "," : "") + " " + std::to_string(services) + " services";
  if (skipped) s += ", " + std::to_string(skipped) + " unreadable lines skipped";
  if (left_out) s += ", " + std::to_string(left_out) + " entries left out";
  return s;
}

}  // namespace emu
