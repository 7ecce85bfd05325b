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

std::string prepareRoot(const std::string& root, const std::string& skinSource) {
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
