// PNG through libpng's simplified interface, which reports errors in the image
// structure instead of jumping out of the caller.
#include "png.h"

#include <cstdlib>
#include <cstring>

#include <png.h>

namespace emu {
namespace {

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

bool sane(int width, int height) {
  return width > 0 && height > 0 && width <= 65536 && height <= 65536;
}

}  // namespace

bool writeIndexedPng(const std::string& path, int width, int height, const uint8_t* pixels, int stride,
                     const gPalette& palette, Transparency mode, std::string* error) {
  if (!pixels || !sane(width, height) || stride < width) {
    setError(error, "png: nothing to write to " + path);
    return false;
  }
  uint8_t map[256 * 4];
  for (int i = 0; i < 256; ++i) {
    gRGB c;
    if (size_t(i) < palette.colors.size()) c = palette.colors[size_t(i)];
    const bool clear = c.a != 0;
    if (clear && mode == Transparency::flatten) c = gRGB(0, 0, 0, 0);
    map[i * 4 + 0] = c.r;
    map[i * 4 + 1] = c.g;
    map[i * 4 + 2] = c.b;
    map[i * 4 + 3] = mode == Transparency::flatten ? 255 : uint8_t(255 - c.a);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGBA_COLORMAP;
  image.colormap_entries = 256;
  if (!png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, map)) {
    setError(error, "png: cannot write " + path + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  return true;
}

bool writeRgbPng(const std::string& path, const RgbImage& in, std::string* error) {
  if (!sane(in.width, in.height) || in.rgb.size() != size_t(in.width) * size_t(in.height) * 3) {
    setError(error, "png: nothing to write to " + path);
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(in.width);
  image.height = png_uint_32(in.height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, in.rgb.data(), in.width * 3, nullptr)) {
    setError(error, "png: cannot write " + path + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  return true;
}

bool readPng(const std::string& path, RgbImage& out, std::string* error) {
  out = RgbImage();
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    setError(error, "png: cannot read " + path + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  if (!sane(int(image.width), int(image.height))) {
    setError(error, "png: " + path + " has an unusable size");
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, pixels.data(), 0, nullptr)) {
    setError(error, "png: cannot decode " + path + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  out.width = int(image.width);
  out.height = int(image.height);
  out.rgb = std::move(pixels);
  return true;
}

RgbImage toRgb(int width, int height, const uint8_t* pixels, int stride, const gPalette& palette) {
  RgbImage out;
  if (!pixels || width <= 0 || height <= 0) return out;
  out.width = width;
  out.height = height;
  out.rgb.resize(size_t(width) * size_t(height) * 3);
  uint8_t* to = out.rgb.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = pixels + size_t(y) * size_t(stride);
    for (int x = 0; x < width; ++x) {
      gRGB c;
      if (row[x] < palette.colors.size()) c = palette.colors[row[x]];
      if (c.a != 0) c = gRGB();
      *to++ = c.r;
      *to++ = c.g;
      *to++ = c.b;
    }
  }
  return out;
}

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int channelTolerance) {
  ImageDifference d;
  if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() ||
      a.rgb.size() != size_t(a.width) * size_t(a.height) * 3)
    return d;
  d.sameSize = true;
  d.maxChannelDifference = 0;
  const size_t n = size_t(a.width) * size_t(a.height);
  if (n == 0) {
    d.differingFraction = 0;
    return d;
  }
  size_t differing = 0;
  for (size_t i = 0; i < n; ++i) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a.rgb[i * 3 + c]) - int(b.rgb[i * 3 + c])));
    d.maxChannelDifference = std::max(d.maxChannelDifference, worst);
    if (worst > channelTolerance) ++differing;
  }
  d.differingFraction = double(differing) / double(n);
  return d;
}

}  // namespace emu
