// Start-up levels: objects are initialised in level order, registration order within a level.
#include <map>
#include <mutex>
#include <vector>
#include <host/gui/init.h>

namespace {

struct Entry {
  eAutoInit* object;
  bool initialised;
};
struct Registry {
  std::recursive_mutex m;
  std::map<int, std::vector<Entry>> levels;
  int runlevel = -1;
};
// Never destroyed: modules' static objects remove themselves while the process ends.
Registry& reg() {
  static Registry* r = new Registry;
  return *r;
}

// Marks the entry and answers whether the caller must run initNow / closeNow.
bool mark(eAutoInit* o, bool init) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> g(r.m);
  for (auto& lv : r.levels)
    for (auto& e : lv.second)
      if (e.object == o && e.initialised != init) {
        e.initialised = init;
        return true;
      }
  return false;
}

}  // namespace

void eInit::add(int level, eAutoInit* object) {
  if (!object) return;
  Registry& r = reg();
  bool now;
  {
    std::lock_guard<std::recursive_mutex> g(r.m);
    for (auto& lv : r.levels)
      for (auto& e : lv.second)
        if (e.object == object) return;   // already registered
    r.levels[level].push_back({object, false});
    now = level <= r.runlevel;
  }
  // The level was reached before this module was loaded: initialise at once.
  if (now && mark(object, true)) object->initNow();
}

void eInit::remove(int level, eAutoInit* object) {
  Registry& r = reg();
  bool close = false;
  {
    std::lock_guard<std::recursive_mutex> g(r.m);
    auto it = r.levels.find(level);
    if (it == r.levels.end()) return;
    for (auto e = it->second.begin(); e != it->second.end(); ++e)
      if (e->object == object) {
        close = e->initialised;
        it->second.erase(e);
        break;
      }
  }
  if (close) object->closeNow();
}

void eInit::setRunlevel(int level) {
  Registry& r = reg();
  for (;;) {
    // One object at a time, without holding the lock while it runs.
    eAutoInit* next = nullptr;
    bool init = false;
    int nextLevel = 0;
    {
      std::lock_guard<std::recursive_mutex> g(r.m);
      if (level >= r.runlevel) {
        for (auto& lv : r.levels) {
          if (lv.first > level) break;
          for (auto& e : lv.second)
            if (!e.initialised) {
              next = e.object;
              init = true;
              nextLevel = lv.first;
              break;
            }
          if (next) break;
        }
      }
      if (!next) {
        // Going down: close the highest levels first, latest registered first.
        for (auto lv = r.levels.rbegin(); lv != r.levels.rend() && !next; ++lv) {
          if (lv->first <= level) break;
          for (auto e = lv->second.rbegin(); e != lv->second.rend(); ++e)
            if (e->initialised) {
              next = e->object;
              break;
            }
        }
      }
      if (!next) {
        r.runlevel = level;
        return;
      }
      // Objects added meanwhile at levels up to the target are picked up by the next pass.
      if (init && r.runlevel < nextLevel) r.runlevel = nextLevel;
    }
    if (mark(next, init)) {
      if (init)
        next->initNow();
      else
        next->closeNow();
    }
  }
}

int eInit::getRunlevel() {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> g(r.m);
  return r.runlevel;
}
