// Loads the plug-in shared object as the box does and finds its entry point.
#pragma once
#include <stdexcept>
#include <string>

namespace app {

struct PluginError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Plugin {
public:
  using Entry = int (*)();
  // dlopen with RTLD_NOW, so a missing symbol is reported here and not mid-scan.
  // Never RTLD_DEEPBIND: the plug-in must reach the box's open/ioctl/fopen.
  explicit Plugin(const std::string& path);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  int exec() const { return entry_(); }
  // An exported symbol of the plug-in, or 0.
  void* symbol(const char* name) const;
  const std::string& path() const { return path_; }
  // Unloads now (the plug-in's static objects leave the init levels); idempotent.
  void unload();

private:
  std::string path_;
  void* handle_ = nullptr;
  Entry entry_ = nullptr;
};

// The plug-in to load when none is named: SCRUTA_PLUGIN env, else the built one.
std::string defaultPluginPath();

}  // namespace app
