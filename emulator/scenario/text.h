// Small text helpers shared by the list readers.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <emulator/scenario/scenario.h>

namespace emu::text {

struct Line {
  int number;        // 1-based
  std::string text;  // without the line end
};

// All lines of a file; throws ScenarioError when it cannot be read.
std::vector<Line> readLines(const std::string& path);

std::string trim(const std::string& s);
std::vector<std::string> words(const std::string& s);                 // split on blanks
std::vector<std::string> split(const std::string& s, char sep);       // keeps empty fields
bool startsWith(const std::string& s, const char* prefix);
std::string upper(std::string s);

// Whole-string numbers: no sign, no trailing garbage.
std::optional<uint64_t> toUnsigned(const std::string& s);
std::optional<double> toDouble(const std::string& s);

// "H"/"V" (any case, also "HORIZONTAL"/"VERTICAL"); none for circular or unreadable.
std::optional<Polarisation> toPolarisation(const std::string& s);

// value * 1000, rounded: MHz to kHz, kS/s to S/s. None when it is not above 0 or does
// not fit 32 bits (4e9), so that no huge value wraps into the band.
std::optional<uint32_t> thousandths(double value);

// Frequency given in MHz or kHz, symbol rate in kS/s or S/s: told apart by size.
uint32_t frequencyKhz(double value);
uint32_t symbolRate(double value);

}  // namespace emu::text
