// The skip file: reading one satellite and polarisation, then rewriting that list,
// keeps the other polarisation's entries and every other satellite's, and the new
// list reads back as written. Lines it keeps come back byte for byte, NULs and all.
#include <cstdlib>
#include <string>
#include <vector>
#include <knowledge/routine_di_servizio.h>
#include "fuzz_file.h"

namespace {

constexpr int kMax = 400;

std::vector<int> entries(routineDiServizio& r, std::string& file, int pol, int position) {
  int freq[kMax + 8] = {}, n = 0;
  r.leggeFileFreqToSkip(file.data(), pol, position, &n, freq, kMax);
  if (n < 0 || n > kMax) fuzz::broken("more entries than asked for");
  for (int i = 0; i < n; i++)
    if (freq[i] < 10700 || freq[i] > 12750) fuzz::broken("an entry outside the band was kept");
  return std::vector<int>(freq, freq + n);
}

// What a rewrite of one list keeps: every line outside position's section (headers
// too) and the section's lines ending in `other`, the other polarisation's letter.
std::vector<std::string> keptLines(const std::string& text, int position, char other) {
  std::vector<std::string> kept;
  bool inSection = false;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line[0] == '#') inSection = std::atoi(line.c_str() + 1) == position;
    if (!inSection || (!line.empty() && line[0] != '#' && line.back() == other)) kept.push_back(line);
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  routineDiServizio r;
  const int pol = data[0] & 1;
  std::string file = fuzz::write("scrutafasci.skip", data + 1, size - 1);
  // The satellites the file names (the first few), and one it does not.
  std::vector<int> positions;
  {
    std::string text = fuzz::read(file);
    size_t at = 0;
    while (positions.size() < 4 && (at = text.find('#', at)) != std::string::npos) {
      if (at == 0 || text[at - 1] == '\n') positions.push_back(std::atoi(text.c_str() + at + 1));
      ++at;
    }
  }
  if (positions.empty()) positions.push_back(192);
  const size_t chosen = data[1] % positions.size();
  const int position = positions[chosen];
  positions.push_back(9999);

  std::vector<std::vector<int>> before[2];
  for (int p = 0; p < 2; p++)
    for (int s : positions) before[p].push_back(entries(r, file, p, s));

  const char other = pol ? 'H' : 'V';
  const std::vector<std::string> keptBefore = keptLines(fuzz::read(file), position, other);

  std::vector<int> nuove = before[pol][chosen];
  if (nuove.size() < kMax) nuove.push_back(10700 + data[1] * 8);
  if (r.scriveFileFreqToSkip(file.data(), pol, position, static_cast<int>(nuove.size()), nuove.data()) != 1)
    fuzz::broken("the skip file was not rewritten");
  if (entries(r, file, pol, position) != nuove) fuzz::broken("the new list did not read back");
  if (keptLines(fuzz::read(file), position, other) != keptBefore) fuzz::broken("a kept line changed");
  for (int p = 0; p < 2; p++)
    for (size_t i = 0; i < positions.size(); i++) {
      if (positions[i] == position && p == pol) continue;
      if (entries(r, file, p, positions[i]) != before[p][i]) fuzz::broken("another list changed");
    }
  return 0;
}
