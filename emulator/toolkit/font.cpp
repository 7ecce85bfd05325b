// FreeType faces and the glyph cache. FreeType objects are not thread-safe, so
// one mutex guards the library, the faces and the cache; glyphs are immutable
// once made and shared out by pointer, so drawing needs no lock.
#include "font.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace emu {
namespace {

const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";
constexpr int kDefaultSize = 20;
constexpr int kMaxSize = 400;
constexpr size_t kMaxCachedGlyphs = 16384;

int pixelSize(const gFont& f) {
  if (f.pointSize <= 0) return kDefaultSize;
  return f.pointSize > kMaxSize ? kMaxSize : f.pointSize;
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

class FontStore {
public:
  static FontStore& instance() {
    // Never destroyed: painting threads may still run during exit.
    static FontStore* store = new FontStore;
    return *store;
  }

  void registerFamily(const std::string& family, const std::string& file) {
    std::lock_guard<std::mutex> l(mutex);
    families[family] = file;
  }

  std::string fileFor(const std::string& family) {
    std::lock_guard<std::mutex> l(mutex);
    return fileForLocked(family);
  }

  bool metrics(const gFont& font, FontMetrics& out) {
    std::lock_guard<std::mutex> l(mutex);
    FT_Face face = sizedFace(font);
    if (!face) return false;
    const FT_Size_Metrics& m = face->size->metrics;
    out.ascender = int((m.ascender + 32) >> 6);
    out.descender = int((-m.descender + 32) >> 6);
    out.lineHeight = int((m.height + 32) >> 6);
    return true;
  }

  bool glyphs(const gFont& font, const std::u32string& text, std::vector<GlyphPtr>& out) {
    out.clear();
    std::lock_guard<std::mutex> l(mutex);
    FT_Face face = sizedFace(font);
    if (!face) return false;
    const std::string file = fileForLocked(font.family);
    const int size = pixelSize(font);
    out.reserve(text.size());
    for (char32_t c : text) out.push_back(glyph(face, file, size, c));
    return true;
  }

private:
  FontStore() {
    if (FT_Init_FreeType(&library) != 0) {
      std::fprintf(stderr, "font: FreeType cannot start\n");
      library = nullptr;
    }
  }

  std::string fileForLocked(const std::string& family) const {
    auto it = families.find(family);
    if (it != families.end()) return it->second;
    if (lower(family).find("bold") != std::string::npos) return std::string(kFontDir) + "DejaVuSans-Bold.ttf";
    return std::string(kFontDir) + "DejaVuSans.ttf";
  }

  FT_Face sizedFace(const gFont& font) {
    if (!library) return nullptr;
    const std::string file = fileForLocked(font.family);
    FT_Face face = nullptr;
    auto it = faces.find(file);
    if (it != faces.end()) {
      face = it->second;
    } else {
      if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
        face = nullptr;
        if (failed.insert(file).second) std::fprintf(stderr, "font: cannot load %s\n", file.c_str());
        return nullptr;
      }
      faces[file] = face;
      FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    }
    const int size = pixelSize(font);
    auto cur = currentSize.find(face);
    if (cur == currentSize.end() || cur->second != size) {
      if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(size)) != 0) return nullptr;
      currentSize[face] = size;
    }
    return face;
  }

  struct Key {
    std::string file;
    int size;
    char32_t code;
    bool operator==(const Key& o) const { return size == o.size && code == o.code && file == o.file; }
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return std::hash<std::string>()(k.file) ^ (size_t(k.size) * 0x9e3779b97f4a7c15ULL) ^ (size_t(k.code) << 20);
    }
  };

  GlyphPtr glyph(FT_Face face, const std::string& file, int size, char32_t code) {
    if (code == U'\t') code = U' ';
    Key key{file, size, code};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    auto g = std::make_shared<Glyph>();
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
      FT_GlyphSlot slot = face->glyph;
      const FT_Bitmap& bm = slot->bitmap;
      g->left = slot->bitmap_left;
      g->top = slot->bitmap_top;
      g->advance = int((slot->advance.x + 32) >> 6);
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer) {
        g->width = int(bm.width);
        g->height = int(bm.rows);
        g->coverage.resize(size_t(g->width) * size_t(g->height));
        const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
        for (int y = 0; y < g->height; ++y) {
          const unsigned char* row = bm.pitch < 0 ? bm.buffer + size_t(g->height - 1 - y) * pitch
                                                  : bm.buffer + size_t(y) * pitch;
          std::copy(row, row + g->width, g->coverage.begin() + size_t(y) * g->width);
        }
      }
    }
    if (cache.size() >= kMaxCachedGlyphs) cache.clear();
    cache.emplace(std::move(key), g);
    return g;
  }

  std::mutex mutex;
  FT_Library library = nullptr;
  std::map<std::string, std::string> families;
  std::map<std::string, FT_Face> faces;
  std::map<FT_Face, int> currentSize;
  std::set<std::string> failed;
  std::unordered_map<Key, GlyphPtr, KeyHash> cache;
};

bool isSpace(char32_t c) { return c == U' ' || c == U'\t'; }

int advanceOf(const std::vector<GlyphPtr>& g, size_t from, size_t to) {
  int w = 0;
  for (size_t i = from; i < to; ++i) w += g[i]->advance;
  return w;
}

void wrapParagraph(const std::u32string& para, const std::vector<GlyphPtr>& g, int wrapWidth,
                   std::vector<TextLine>& out) {
  const size_t n = para.size();
  if (n == 0) {
    out.push_back(TextLine{});
    return;
  }
  size_t pos = 0;
  while (pos < n) {
    size_t end = pos;   // text accepted for this line
    int width = 0;
    while (end < n) {
      size_t wordEnd = end;
      while (wordEnd < n && isSpace(para[wordEnd])) ++wordEnd;
      while (wordEnd < n && !isSpace(para[wordEnd])) ++wordEnd;
      const int w = advanceOf(g, pos, wordEnd);
      if (w <= wrapWidth) {
        end = wordEnd;
        width = w;
        continue;
      }
      if (end > pos) break;   // the word starts the next line
      // A word too long for any line: break it between characters.
      size_t c = pos;
      int cw = 0;
      while (c < wordEnd && (c == pos || cw + g[c]->advance <= wrapWidth)) cw += g[c++]->advance;
      end = c;
      width = cw;
      break;
    }
    TextLine line;
    line.text = para.substr(pos, end - pos);
    line.width = width;
    out.push_back(std::move(line));
    pos = end;
    while (pos < n && isSpace(para[pos])) ++pos;   // a wrapped line starts at a word
  }
}

}  // namespace

void registerFontFamily(const std::string& family, const std::string& file) {
  FontStore::instance().registerFamily(family, file);
}

std::string fontFileFor(const std::string& family) { return FontStore::instance().fileFor(family); }

bool fontMetrics(const gFont& font, FontMetrics& out) { return FontStore::instance().metrics(font, out); }

bool fontGlyphs(const gFont& font, const std::u32string& text, std::vector<GlyphPtr>& out) {
  return FontStore::instance().glyphs(font, text, out);
}

std::u32string decodeUtf8(const std::string& text) {
  std::u32string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + size_t(len) <= n;
    for (int k = 1; ok && k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + size_t(k)]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Reject overlong forms, surrogates and values past Unicode.
    if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
               (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
      ok = false;
    if (ok) {
      out.push_back(cp);
      i += size_t(len);
    } else {
      out.push_back(char32_t(c));
      ++i;
    }
  }
  return out;
}

std::vector<TextLine> layoutText(const gFont& font, const std::string& text, int wrapWidth) {
  std::vector<TextLine> lines;
  std::u32string all = decodeUtf8(text);
  size_t start = 0;
  std::vector<GlyphPtr> glyphs;
  while (true) {
    size_t nl = all.find(U'\n', start);
    std::u32string para = all.substr(start, nl == std::u32string::npos ? std::u32string::npos : nl - start);
    // Carriage returns from DOS-style texts take no room.
    std::u32string clean;
    for (char32_t c : para)
      if (c != U'\r') clean.push_back(c);
    if (!fontGlyphs(font, clean, glyphs)) return {};
    if (wrapWidth > 0) {
      wrapParagraph(clean, glyphs, wrapWidth, lines);
    } else {
      TextLine line;
      line.width = advanceOf(glyphs, 0, glyphs.size());
      line.text = std::move(clean);
      lines.push_back(std::move(line));
    }
    if (nl == std::u32string::npos) break;
    start = nl + 1;
  }
  return lines;
}

eSize textExtent(const gFont& font, const std::string& text, int wrapWidth) {
  FontMetrics m;
  if (!fontMetrics(font, m)) return eSize();
  const std::vector<TextLine> lines = layoutText(font, text, wrapWidth);
  int w = 0;
  for (const TextLine& l : lines) w = std::max(w, l.width);
  return eSize(w, int(lines.size()) * m.lineHeight);
}

}  // namespace emu
