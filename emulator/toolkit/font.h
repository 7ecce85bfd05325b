// Text for the painter: FreeType faces, a glyph cache and line layout.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include <host/gui/geometry.h>
#include <host/gui/gpixmap.h>

namespace emu {

// One rendered glyph: 8-bit coverage, placed relative to the pen on the baseline.
struct Glyph {
  int left = 0, top = 0;          // bitmap offset: right of, and above, the pen
  int width = 0, height = 0;
  int advance = 0;                // pixels to the next pen position
  std::vector<uint8_t> coverage;  // width * height, 0 = none, 255 = full
};
using GlyphPtr = std::shared_ptr<const Glyph>;

struct FontMetrics {
  int ascender = 0;     // baseline below the top of a line
  int descender = 0;    // below the baseline, positive
  int lineHeight = 0;
};

struct TextLine {
  std::u32string text;
  int width = 0;        // sum of advances
};

// The font files behind the family names: "Bold" (or any name with "bold" in
// it) is DejaVu Sans Bold, everything else DejaVu Sans, unless registered.
void registerFontFamily(const std::string& family, const std::string& file);
std::string fontFileFor(const std::string& family);

// Sizes are in pixels (point size = pixel size); 0 or less means 20, and sizes
// are capped at 400. All calls are thread-safe.
bool fontMetrics(const gFont& font, FontMetrics& out);
// The glyphs of text, in order; false when the font cannot be loaded.
bool fontGlyphs(const gFont& font, const std::u32string& text, std::vector<GlyphPtr>& out);

// UTF-8 to code points; a byte that is not valid UTF-8 is taken as Latin-1.
std::u32string decodeUtf8(const std::string& text);

// Splits text at '\n' and, if wrapWidth > 0, wraps words to that width
// (a word wider than the line is broken between characters).
std::vector<TextLine> layoutText(const gFont& font, const std::string& text, int wrapWidth);
// Width of the widest line and the height of all lines.
eSize textExtent(const gFont& font, const std::string& text, int wrapWidth = 0);

}  // namespace emu
