#include "emulator/app/box_root.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace app {

std::string defaultSkinSource() {
  if (const char* s = std::getenv("SCRUTA_SKIN"); s && *s) return s;
#ifdef SCRUTA_SOURCE_DIR
  return std::string(SCRUTA_SOURCE_DIR) + "/skin/scrutafasci.esml";
#else
  return "skin/scrutafasci.esml";
#endif
}

std::string pluginFile(const std::string& root, const std::string& name) {
  return (fs::path(root) / "var" / "tuxbox" / "plugins" / name).string();
}

void checkRootIsTheBoxs(const std::string& root, const std::string& machineTuxbox) {
  std::error_code ec;
  fs::path abs = fs::absolute(root, ec);
  if (ec) throw RootError("box root " + root + ": " + ec.message());
  fs::path real = fs::weakly_canonical(abs, ec);
  if (ec) throw RootError("box root " + root + ": " + ec.message());
  // The plug-in writes its files under <root>/var/tuxbox: never into this machine's own.
  if (real == real.root_path())
    throw RootError("the box root " + root + " is this machine's / (" + real.string() +
                    "): give the box a folder of its own");
  fs::path tux = fs::weakly_canonical(abs / "var" / "tuxbox", ec);
  fs::path mine = fs::weakly_canonical(machineTuxbox, ec);
  bool same = !ec && tux == mine;
  if (!same && fs::exists(abs / "var" / "tuxbox") && fs::exists(machineTuxbox))
    same = fs::equivalent(abs / "var" / "tuxbox", machineTuxbox, ec) && !ec;
  if (same)
    throw RootError("the box root " + root + " leads to this machine's own " + machineTuxbox +
                    ": give the box a folder of its own");
}

std::string prepareRoot(const std::string& root, const std::string& skinSource) {
  checkRootIsTheBoxs(root, "/var/tuxbox");
  std::error_code ec;
  fs::path abs = fs::absolute(root, ec);
  if (ec) throw RootError("box root " + root + ": " + ec.message());
  fs::path plugins = abs / "var" / "tuxbox" / "plugins";
  fs::create_directories(plugins, ec);
  if (ec) throw RootError("cannot make the box folder " + plugins.string() + ": " + ec.message());
  if (skinSource.empty()) return abs.lexically_normal().string();
  if (!fs::is_regular_file(skinSource, ec))
    throw RootError("skin " + skinSource + " not found");
  fs::copy_file(skinSource, plugins / "scrutafasci.esml", fs::copy_options::overwrite_existing, ec);
  if (ec) throw RootError("cannot install the skin into " + plugins.string() + ": " + ec.message());
  return abs.lexically_normal().string();
}

}  // namespace app
