// PNG files of palette bitmaps, and reading them back for comparisons.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include <host/gui/gpixmap.h>

namespace emu {

// Plain 8-bit RGB pixels, rows top to bottom.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;   // 3 bytes per pixel
  const uint8_t* at(int x, int y) const { return rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

// How PNG writing treats see-through palette entries (gRGB::a != 0).
enum class Transparency { keep, flatten };   // keep: tRNS alpha; flatten: opaque black

// Writes width x height palette indices (rows stride bytes apart) as an
// indexed PNG. Missing palette entries are black. false (and *error) on failure.
bool writeIndexedPng(const std::string& path, int width, int height, const uint8_t* pixels, int stride,
                     const gPalette& palette, Transparency mode = Transparency::keep,
                     std::string* error = nullptr);
bool writeRgbPng(const std::string& path, const RgbImage& image, std::string* error = nullptr);

// Reads any PNG as RGB (alpha composited onto black).
bool readPng(const std::string& path, RgbImage& out, std::string* error = nullptr);

// Palette indices to RGB, with see-through entries as black.
RgbImage toRgb(int width, int height, const uint8_t* pixels, int stride, const gPalette& palette);

struct ImageDifference {
  bool sameSize = false;
  double differingFraction = 1.0;   // pixels with a channel further apart than the tolerance
  int maxChannelDifference = 255;
};
// Compares two images pixel by pixel; images of different sizes differ entirely.
ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int channelTolerance = 0);

}  // namespace emu
