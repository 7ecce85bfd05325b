// Start-up levels: objects registered at a level are initialised when the host reaches it.
#pragma once

class eAutoInit {
public:
  eAutoInit(int runlevel, const char* description) : rl(runlevel), description(description) {}
  virtual ~eAutoInit() = default;
  virtual void initNow() = 0;
  virtual void closeNow() = 0;
  int getRunlevel() const { return rl; }
  const char* getDescription() const { return description; }
protected:
  int rl;
  const char* description;
};

class eInit {
public:
  static void add(int level, eAutoInit* object);     // runs initNow at once if the level was reached
  static void remove(int level, eAutoInit* object);  // runs closeNow if it was initialised
  static void setRunlevel(int level);                 // initialises every level up to this one
  static int getRunlevel();
};

// Creates a T when its level is reached and deletes it when the level is left;
// registers itself with eInit when constructed (a static object of a module).
template <class T>
class eAutoInitP0 : public eAutoInit {
public:
  eAutoInitP0(int runlevel, const char* description) : eAutoInit(runlevel, description) {
    eInit::add(rl, this);
  }
  ~eAutoInitP0() override { eInit::remove(rl, this); }
  void initNow() override { t = new T(); }
  void closeNow() override {
    if (t) {
      delete t;
      t = nullptr;
    }
  }
  T* operator->() { return t; }
private:
  T* t = nullptr;
};
