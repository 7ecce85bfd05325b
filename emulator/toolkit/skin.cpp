// eSkin: loads the XML skin (palette, schemes, fonts, decos, windows), checks it while loading
// so that errors carry the file and line, and builds windows from it.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>
#include <sys/stat.h>
#include <pugixml.hpp>
#include <host/gui/eerror.h>
#include <host/gui/elabel.h>
#include <host/gui/eskin.h>
#include "emu.h"
#include "font.h"
#include "internal.h"

namespace {

const char* const fontDir = "/usr/share/fonts/truetype/dejavu/";

// What a loaded file says, immutable once parsed; shared so a build outlives a reload.
struct Parsed {
  std::string file;
  std::string text;
  pugi::xml_document doc;
  gPalette palette;
  std::map<std::string, int> colors;
  std::map<std::string, int> schemes;
  std::map<std::string, std::string> fonts;
  std::map<std::string, tk::Deco> decos;
  std::map<std::string, pugi::xml_node> windows;

  int lineOf(const pugi::xml_node& n) const {
    ptrdiff_t off = n.offset_debug();
    if (off < 0 || size_t(off) > text.size()) return 0;
    return 1 + int(std::count(text.begin(), text.begin() + off, '\n'));
  }
};

struct Creators {
  std::mutex m;
  std::map<std::string, tWidgetCreator> map;
};
eWidget* createLabel(eWidget* parent) { return new eLabel(parent); }

Creators& creators() {
  // Outlives the modules that unregister at exit. Free-standing captions need no
  // code: "eLabel" is always there.
  static Creators* c = new Creators{{}, {{"eLabel", createLabel}}};
  return *c;
}

std::atomic<eSkin*> activeSkin{nullptr};

// Every skin that exists, oldest first. Programs load a skin per window and never free it;
// the list keeps them reachable, and gives the active role back to the newest remaining one
// when the active skin is destroyed.
struct SkinList {
  std::mutex m;
  std::vector<eSkin*> all;
};
SkinList& skins() {
  static SkinList* l = new SkinList;
  return *l;
}

bool fileExists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string builtinFont(const std::string& family) {
  if (family == "Bold") return std::string(fontDir) + "DejaVuSans-Bold.ttf";
  if (family == "Mono") return std::string(fontDir) + "DejaVuSansMono.ttf";
  if (family == "Regular") return std::string(fontDir) + "DejaVuSans.ttf";
  return "";
}

bool parsePair(const char* s, int& a, int& b) {
  char* end;
  errno = 0;
  long x = std::strtol(s, &end, 10);
  if (end == s || *end != ',') return false;
  const char* s2 = end + 1;
  long y = std::strtol(s2, &end, 10);
  if (end == s2 || *end != '\0' || errno) return false;
  if (x < -100000 || x > 100000 || y < -100000 || y > 100000) return false;
  a = int(x);
  b = int(y);
  return true;
}

bool parseInt(const char* s, int& v) {
  char* end;
  errno = 0;
  long x = std::strtol(s, &end, 10);
  if (end == s || *end != '\0' || errno || x < -100000 || x > 100000) return false;
  v = int(x);
  return true;
}

bool parseFont(const std::string& s, std::string& family, int& size) {
  size_t c = s.rfind(':');
  if (c == std::string::npos || c == 0) return false;
  family = s.substr(0, c);
  return parseInt(s.c_str() + c + 1, size) && size > 0 && size <= 200;
}

bool parseRGB(const std::string& s, gRGB& out) {
  if ((s.size() != 7 && s.size() != 9) || s[0] != '#') return false;
  for (size_t i = 1; i < s.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
  auto hex = [&](size_t i) { return int(std::strtol(s.substr(i, 2).c_str(), nullptr, 16)); };
  out = gRGB(hex(1), hex(3), hex(5), s.size() == 9 ? hex(7) : 0);
  return true;
}

class Loader {
public:
  Loader(Parsed& p) : p(p) {}
  std::string error;

  bool fail(const pugi::xml_node& n, const std::string& what) {
    if (error.empty()) {
      std::ostringstream os;
      os << "skin " << p.file << ":" << p.lineOf(n) << ": " << what;
      error = os.str();
    }
    return false;
  }

  bool colourRef(const pugi::xml_node& n, const char* attr, int& out, bool allowScheme) {
    std::string v = n.attribute(attr).value();
    auto it = p.colors.find(v);
    if (it != p.colors.end()) {
      out = it->second;
      return true;
    }
    if (allowScheme) {
      auto s = p.schemes.find(v);
      if (s != p.schemes.end()) {
        out = s->second;
        return true;
      }
    }
    return fail(n, std::string("<") + n.name() + "> " + attr + "=\"" + v + "\": no such colour");
  }

  bool run(const std::string& dir) {
    pugi::xml_node root = p.doc.document_element();
    if (std::strcmp(root.name(), "skin") != 0) return fail(root, std::string("root element is <") + root.name() + ">, not <skin>");
    // Colours first: the other sections refer to them wherever they are in the file.
    for (pugi::xml_node sec : root.children("colors"))
      for (pugi::xml_node c : sec.children()) {
        if (c.type() != pugi::node_element) continue;
        if (std::strcmp(c.name(), "color") != 0) return fail(c, std::string("unknown element <") + c.name() + "> in <colors>");
        std::string name = c.attribute("name").value();
        if (name.empty()) return fail(c, "<color> without a name");
        if (p.colors.count(name)) return fail(c, "colour \"" + name + "\" defined twice");
        gRGB rgb;
        if (!parseRGB(c.attribute("value").value(), rgb))
          return fail(c, "colour \"" + name + "\": value \"" + c.attribute("value").value() + "\" is not #rrggbb or #rrggbbtt");
        int idx = int(p.colors.size());
        if (idx >= 256) return fail(c, "more than 256 colours");
        p.colors[name] = idx;
        p.palette.colors[size_t(idx)] = rgb;
      }
    for (pugi::xml_node sec : root.children()) {
      if (sec.type() != pugi::node_element) continue;
      std::string s = sec.name();
      if (s == "colors") continue;
      if (s == "schemes") {
        for (pugi::xml_node m : sec.children()) {
          if (m.type() != pugi::node_element) continue;
          if (std::strcmp(m.name(), "map") != 0) return fail(m, std::string("unknown element <") + m.name() + "> in <schemes>");
          std::string name = m.attribute("name").value();
          if (name.empty()) return fail(m, "<map> without a name");
          int idx;
          if (!colourRef(m, "color", idx, false)) return false;
          p.schemes[name] = idx;
        }
      } else if (s == "fonts") {
        for (pugi::xml_node f : sec.children()) {
          if (f.type() != pugi::node_element) continue;
          if (std::strcmp(f.name(), "font") != 0) return fail(f, std::string("unknown element <") + f.name() + "> in <fonts>");
          std::string name = f.attribute("name").value(), file = f.attribute("file").value();
          if (name.empty() || file.empty()) return fail(f, "<font> needs name and file");
          std::string path;
          if (file[0] == '/') path = file;
          else if (fileExists(dir + file)) path = dir + file;
          else path = fontDir + file;
          if (!fileExists(path)) return fail(f, "font \"" + name + "\": file \"" + file + "\" not found");
          p.fonts[name] = path;
        }
      } else if (s == "decos") {
        for (pugi::xml_node dn : sec.children()) {
          if (dn.type() != pugi::node_element) continue;
          if (std::strcmp(dn.name(), "deco") != 0) return fail(dn, std::string("unknown element <") + dn.name() + "> in <decos>");
          std::string name = dn.attribute("name").value();
          if (name.empty()) return fail(dn, "<deco> without a name");
          tk::Deco d;
          d.found = true;
          for (pugi::xml_attribute a : dn.attributes()) {
            std::string an = a.name();
            if (an == "name") continue;
            if (an == "border" || an == "titleHeight") {
              int v;
              if (!parseInt(a.value(), v) || v < 0) return fail(dn, "deco \"" + name + "\": " + an + "=\"" + a.value() + "\" is not a width");
              (an == "border" ? d.border : d.titleHeight) = v;
              continue;
            }
            int* slot = an == "borderColor" ? &d.borderColor
                        : an == "background" ? &d.background
                        : an == "foreground" ? &d.foreground
                        : an == "focusBackground" ? &d.focusBackground
                        : an == "focusForeground" ? &d.focusForeground
                        : an == "titleBackground" ? &d.titleBackground
                        : an == "titleForeground" ? &d.titleForeground
                                                  : nullptr;
            if (!slot) return fail(dn, "deco \"" + name + "\": unknown attribute " + an);
            if (!colourRef(dn, a.name(), *slot, false)) return false;
          }
          p.decos[name] = d;
        }
      } else if (s == "window") {
        std::string name = sec.attribute("name").value();
        if (name.empty()) return fail(sec, "<window> without a name");
        if (p.windows.count(name)) return fail(sec, "window \"" + name + "\" described twice");
        if (!checkWidget(sec, true)) return false;
        p.windows[name] = sec;
      } else {
        return fail(sec, "unknown element <" + s + ">");
      }
    }
    return true;
  }

  bool checkWidget(const pugi::xml_node& n, bool isWindow) {
    for (pugi::xml_attribute a : n.attributes()) {
      std::string an = a.name();
      int x, y;
      if (an == "position" || an == "size" || an == "cposition" || an == "csize") {
        if (!parsePair(a.value(), x, y)) return fail(n, an + "=\"" + a.value() + "\" is not \"x,y\"");
        if ((an == "size" || an == "csize") && (x < 0 || y < 0)) return fail(n, an + "=\"" + a.value() + "\" is negative");
      } else if (an == "font") {
        std::string fam;
        int sz;
        if (!parseFont(a.value(), fam, sz)) return fail(n, std::string("font=\"") + a.value() + "\" is not \"Family:size\"");
        if (!p.fonts.count(fam) && builtinFont(fam).empty()) return fail(n, "font family \"" + fam + "\" is not defined");
      } else if (an == "foregroundColor" || an == "backgroundColor") {
        int idx;
        if (!colourRef(n, a.name(), idx, true)) return false;
      } else if (an == "name" || an == "creator") {
        if (!*a.value()) return fail(n, an + " is empty");
      }
    }
    for (pugi::xml_node c : n.children()) {
      if (c.type() != pugi::node_element) continue;
      if (std::strcmp(c.name(), "widget") != 0)
        return fail(c, std::string("unknown element <") + c.name() + "> in <" + n.name() + ">");
      if (c.attribute("name").empty() || !*c.attribute("name").value()) return fail(c, "<widget> without a name");
      if (!checkWidget(c, false)) return false;
    }
    (void)isWindow;
    return true;
  }

private:
  Parsed& p;
};

std::shared_ptr<Parsed> parse(const std::string& file, std::string text, std::string& error) {
  auto p = std::make_shared<Parsed>();
  p->file = file;
  p->text = std::move(text);
  p->palette.colors.assign(256, gRGB(0, 0, 0));
  pugi::xml_parse_result r = p->doc.load_buffer(p->text.data(), p->text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
  if (!r) {
    size_t off = std::min(size_t(r.offset), p->text.size());
    int line = 1 + int(std::count(p->text.begin(), p->text.begin() + ptrdiff_t(off), '\n'));
    error = "skin " + file + ":" + std::to_string(line) + ": " + r.description();
    return nullptr;
  }
  std::string dir;
  size_t slash = file.rfind('/');
  if (slash != std::string::npos) dir = file.substr(0, slash + 1);
  Loader l(*p);
  if (!l.run(dir)) {
    error = l.error;
    return nullptr;
  }
  return p;
}

const char* const defaultSkin = R"(<skin>
  <colors>
    <color name="std_black" value="#000000"/>
    <color name="std_white" value="#ffffff"/>
    <color name="std_red" value="#d02020"/>
    <color name="std_green" value="#20b020"/>
    <color name="std_dyellow" value="#b09000"/>
    <color name="std_yellow" value="#f0e020"/>
    <color name="std_blue" value="#3060c0"/>
    <color name="std_dblue" value="#102040"/>
    <color name="std_gray" value="#808080"/>
    <color name="std_grid" value="#283848"/>
    <color name="std_dgray" value="#404040"/>
    <color name="std_lgray" value="#c0c0c0"/>
    <color name="std_cyan" value="#20c0d0"/>
    <color name="std_orange" value="#e08020"/>
    <color name="std_scale" value="#e0e0e0"/>
  </colors>
  <schemes>
    <map name="global.normal.background" color="std_dblue"/>
    <map name="global.normal.foreground" color="std_white"/>
    <map name="global.selected.background" color="std_blue"/>
    <map name="global.selected.foreground" color="std_white"/>
    <map name="eWindow.titleBar" color="std_blue"/>
    <map name="eWindow.titleBarFont" color="std_white"/>
    <map name="eWindow.border" color="std_lgray"/>
    <map name="eProgress.left" color="std_green"/>
    <map name="eProgress.right" color="std_dgray"/>
    <map name="eProgress.border" color="std_lgray"/>
  </schemes>
  <decos>
    <deco name="eWindow" border="3" borderColor="std_lgray" background="std_dblue"
          titleBackground="std_blue" titleForeground="std_white" titleHeight="36"/>
    <deco name="eLabel" border="0"/>
    <deco name="eButton" border="2" borderColor="std_lgray" background="std_dgray"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_white"/>
    <deco name="eNumber" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_yellow"/>
    <deco name="eListBox" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_white"/>
    <deco name="eSlider" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_green" focusForeground="std_yellow"/>
  </decos>
</skin>
)";

}  // namespace

class eSkin::Impl {
public:
  mutable std::mutex m;
  std::shared_ptr<Parsed> parsed;
  std::set<std::string> warned;

  std::shared_ptr<Parsed> get() const {
    std::lock_guard<std::mutex> g(m);
    return parsed;
  }
  void warnOnce(const std::string& what) {
    {
      std::lock_guard<std::mutex> g(m);
      if (!warned.insert(what).second) return;
    }
    eWarning("%s", what.c_str());
  }
};

struct eSkinPeek {
  static const eSkin::Impl* impl(const eSkin* s) { return s->d; }
};

namespace {
// The skin in force while none was loaded; it answers from the built-in description.
eSkin& builtin() {
  static eSkin* s = new eSkin;   // never destroyed: widgets of static objects query it at exit
  return *s;
}
}  // namespace

eSkin::eSkin() : d(new Impl) {
  SkinList& l = skins();
  std::lock_guard<std::mutex> g(l.m);
  l.all.push_back(this);
}

eSkin::~eSkin() {
  SkinList& l = skins();
  {
    std::lock_guard<std::mutex> g(l.m);
    l.all.erase(std::find(l.all.begin(), l.all.end(), this));
    if (activeSkin.load() == this) {
      eSkin* next = nullptr;
      for (eSkin* s : l.all)
        if (s->d->get()) next = s;
      activeSkin = next;
    }
  }
  delete d;
}

int eSkin::load(const char* filename) {
  std::string file = filename ? filename : "";
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    int e = errno;
    eWarning("skin %s: cannot open: %s", file.c_str(), std::strerror(e));
    return -1;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  std::string err;
  auto p = parse(file, ss.str(), err);
  if (!p) {
    eWarning("%s", err.c_str());
    return -2;
  }
  {
    std::lock_guard<std::mutex> g(d->m);
    d->parsed = p;
    d->warned.clear();
  }
  for (auto& f : p->fonts) emu::registerFontFamily(f.first, f.second);
  makeActive();
  eDebug("skin %s loaded: %zu colours, %zu windows", file.c_str(), p->colors.size(), p->windows.size());
  return 0;
}

namespace {

gColor colourOf(const Parsed& p, const std::string& v) {
  auto it = p.colors.find(v);
  if (it != p.colors.end()) return it->second;
  auto s = p.schemes.find(v);
  if (s != p.schemes.end()) return s->second;
  return 0;
}

int applyAttributes(const Parsed& p, eWidget* w, const pugi::xml_node& n, const char* windowName) {
  int x, y;
  if (parsePair(n.attribute("position").value(), x, y)) w->move(ePoint(x, y));
  if (parsePair(n.attribute("size").value(), x, y)) w->resize(eSize(x, y));
  if (parsePair(n.attribute("cposition").value(), x, y)) w->cmove(ePoint(x, y));
  if (parsePair(n.attribute("csize").value(), x, y)) w->cresize(eSize(x, y));
  std::string fam;
  int sz;
  if (parseFont(n.attribute("font").value(), fam, sz)) w->setFont(gFont(fam, sz));
  if (!n.attribute("foregroundColor").empty()) w->setForegroundColor(colourOf(p, n.attribute("foregroundColor").value()));
  if (!n.attribute("backgroundColor").empty()) w->setBackgroundColor(colourOf(p, n.attribute("backgroundColor").value()));
  if (!n.attribute("text").empty()) w->setText(n.attribute("text").value());
  static const std::set<std::string> handled = {"name", "creator", "position", "size", "cposition", "csize",
                                                "font", "foregroundColor", "backgroundColor", "text"};
  for (pugi::xml_attribute a : n.attributes()) {
    if (handled.count(a.name())) continue;
    if (w->setProperty(a.name(), a.value()) != 0)
      eWarning("skin %s:%d: window \"%s\": widget \"%s\" does not take %s=\"%s\"", p.file.c_str(), p.lineOf(n), windowName,
               w->getName().c_str(), a.name(), a.value());
  }
  return 0;
}

int applyWidget(const Parsed& p, eWidget* scope, const pugi::xml_node& n, const char* windowName) {
  std::string name = n.attribute("name").value();
  eWidget* w = scope->search(name);
  if (!w) {
    std::string creator = n.attribute("creator").value();
    if (creator.empty()) {
      eWarning("skin %s:%d: window \"%s\": no widget named \"%s\"", p.file.c_str(), p.lineOf(n), windowName, name.c_str());
      return 1;
    }
    tWidgetCreator fn = nullptr;
    {
      Creators& c = creators();
      std::lock_guard<std::mutex> g(c.m);
      auto it = c.map.find(creator);
      if (it != c.map.end()) fn = it->second;
    }
    if (!fn) {
      eWarning("skin %s:%d: window \"%s\": unknown widget creator \"%s\"", p.file.c_str(), p.lineOf(n), windowName,
               creator.c_str());
      return 1;
    }
    w = fn(scope);
    if (!w) {
      eWarning("skin %s:%d: creator \"%s\" made no widget", p.file.c_str(), p.lineOf(n), creator.c_str());
      return 1;
    }
    w->setName(name.c_str());
  }
  int err = applyAttributes(p, w, n, windowName);
  for (pugi::xml_node c : n.children("widget")) err |= applyWidget(p, w, c, windowName);
  return err;
}

}  // namespace

int eSkin::build(eWidget* widget, const char* name) {
  std::shared_ptr<Parsed> p = d->get();
  std::string n = name ? name : "";
  if (!widget) return 1;
  if (!p) {
    eWarning("skin: no skin loaded to build \"%s\" from", n.c_str());
    return 1;
  }
  auto it = p->windows.find(n);
  if (it == p->windows.end()) {
    eWarning("skin %s: no window description \"%s\"", p->file.c_str(), n.c_str());
    return 1;
  }
  // No lock is held here: creators, properties and the size event run plug-in code.
  int err = applyAttributes(*p, widget, it->second, n.c_str());
  for (pugi::xml_node c : it->second.children("widget")) err |= applyWidget(*p, widget, c, n.c_str());
  return err;
}

eSkin* eSkin::getActive() {
  eSkin* s = activeSkin.load();
  return s ? s : &builtin();
}

void eSkin::makeActive() { activeSkin = this; }

std::string emu::builtinSkinXml() { return defaultSkin; }

namespace {
std::shared_ptr<Parsed> builtinParsed() {
  static std::shared_ptr<Parsed>* p = [] {
    std::string err;
    auto r = parse("(built-in skin)", defaultSkin, err);
    if (!r) eFatal("%s", err.c_str());
    return new std::shared_ptr<Parsed>(r);
  }();
  return *p;
}

std::shared_ptr<Parsed> effective(const eSkin::Impl* d) {
  auto p = d->get();
  return p ? p : builtinParsed();
}
}  // namespace

gColor eSkin::queryColor(const eString& name) const {
  auto p = effective(d);
  auto it = p->colors.find(name);
  if (it != p->colors.end()) return it->second;
  d->warnOnce("skin " + p->file + ": no colour \"" + name + "\"");
  return 0;
}

gColor eSkin::queryScheme(const eString& name) const {
  auto p = effective(d);
  auto it = p->schemes.find(name);
  if (it != p->schemes.end()) return it->second;
  // A skin without the role: the built-in role's colour, by name, if the skin has it.
  auto b = builtinParsed();
  auto bi = b->schemes.find(name);
  if (bi != b->schemes.end())
    for (auto& c : b->colors)
      if (c.second == bi->second) {
        auto pc = p->colors.find(c.first);
        if (pc != p->colors.end()) return pc->second;
      }
  d->warnOnce("skin " + p->file + ": no colour scheme \"" + name + "\"");
  return 0;
}

gRGB eSkin::paletteEntry(int index) const {
  auto p = effective(d);
  if (index < 0 || index >= int(p->palette.colors.size())) return gRGB();
  return p->palette.colors[size_t(index)];
}

const gPalette& eSkin::getPalette() const {
  auto p = effective(d);
  return p->palette;   // lives as long as this skin keeps the file
}

bool eSkin::hasDeco(const eString& name) const {
  auto p = effective(d);
  return p->decos.count(name) != 0;
}

void eSkin::addWidgetCreator(const eString& name, tWidgetCreator creator) {
  Creators& c = creators();
  std::lock_guard<std::mutex> g(c.m);
  c.map[name] = creator;
}

void eSkin::removeWidgetCreator(const eString& name, tWidgetCreator creator) {
  Creators& c = creators();
  std::lock_guard<std::mutex> g(c.m);
  auto it = c.map.find(name);
  if (it != c.map.end() && (it->second == creator || !creator)) c.map.erase(it);
}

namespace tk {

gColor scheme(const char* role) {
  eSkin* s = eSkin::getActive();
  return s->queryScheme(role);
}

Deco deco(const std::string& name) {
  eSkin* s = eSkin::getActive();
  auto p = effective(eSkinPeek::impl(s));
  auto it = p->decos.find(name);
  return it != p->decos.end() ? it->second : Deco();
}

int textWidth(const std::string& text, int px) {
  eSize s = emu::textExtent(gFont("Regular", px), text);
  if (s.width() > 0) return s.width();
  int chars = 0;
  for (unsigned char c : text)
    if ((c & 0xc0) != 0x80) ++chars;
  return chars * px * 3 / 5;
}

}  // namespace tk

namespace emu {

gPalette currentPalette() {
  auto p = effective(eSkinPeek::impl(eSkin::getActive()));
  return p->palette;
}

std::string fontFile(const std::string& family) {
  auto p = effective(eSkinPeek::impl(eSkin::getActive()));
  auto it = p->fonts.find(family);
  if (it != p->fonts.end()) return it->second;
  std::string b = builtinFont(family);
  return b.empty() ? builtinFont("Regular") : b;
}

}  // namespace emu
