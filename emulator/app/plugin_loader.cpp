#include "emulator/app/plugin_loader.h"

#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>

namespace app {

Plugin::Plugin(const std::string& path) : path_(path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw PluginError("plug-in " + path + " not found");
  if (!S_ISREG(st.st_mode))
    throw PluginError("plug-in " + path + " is not a file");
  dlerror();
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* e = dlerror();
    throw PluginError("plug-in " + path + " failed to load: " + (e ? e : "unknown error"));
  }
  dlerror();
  void* sym = ::dlsym(handle_, "plugin_exec");
  if (!sym) {
    ::dlclose(handle_);
    handle_ = nullptr;
    throw PluginError("plug-in " + path + " has no entry point plugin_exec");
  }
  entry_ = reinterpret_cast<Entry>(sym);
}

Plugin::~Plugin() { unload(); }

void* Plugin::symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

void Plugin::unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

std::string defaultPluginPath() {
  if (const char* p = std::getenv("SCRUTA_PLUGIN"); p && *p) return p;
#ifdef SCRUTA_PLUGIN_PATH
  return SCRUTA_PLUGIN_PATH;
#else
  return "scrutafasci.so";
#endif
}

}  // namespace app
