#include "emulator/window/window_front.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>

#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"
#include "emulator/tuner/box.h"
#include "emulator/window/box_tempo.h"
#include "emulator/window/canvas.h"
#include "emulator/window/keyboard_map.h"
#include "emulator/window/remote_control.h"
#include "emulator/window/status_strip.h"

namespace win {

namespace {

using Wall = std::chrono::steady_clock;
constexpr int kScreenW = emu::Screen::width, kScreenH = emu::Screen::height;
constexpr int kStripH = 28;
constexpr int kWidth = kScreenW + RemoteControl::width, kHeight = kScreenH + kStripH;
constexpr auto kFrame = std::chrono::milliseconds(20);        // at most 50 frames a second
constexpr auto kRecheck = std::chrono::milliseconds(250);     // repaint even without a change request
constexpr auto kLit = std::chrono::milliseconds(150);         // a clicked button shows pressed

// The first free "scrutafasci-emu-NNN.png" in dir.
std::string nextShotPath(const std::string& dir) {
  for (int n = 1;; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "scrutafasci-emu-%03d.png", n);
    std::filesystem::path p = std::filesystem::path(dir.empty() ? "." : dir) / name;
    std::error_code ec;
    if (!std::filesystem::exists(p, ec)) return std::filesystem::absolute(p, ec).string();
  }
}

}  // namespace

std::string noDisplayReason() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  if ((x && *x) || (w && *w)) return {};
  return "--window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set";
}

struct WindowFront::Impl {
  SDL_Window* window = nullptr;
  int scale = 1;
  Canvas canvas{kWidth, kHeight};
  RemoteControl remote{kScreenW, kHeight};
  std::unique_ptr<BoxTempo> tempo;
  std::vector<uint8_t> lastPixels;
  gPalette lastPalette;
  std::vector<uint32_t> scaled;
};

WindowFront::WindowFront(WindowConfig config) : config_(std::move(config)), impl_(new Impl) {}

WindowFront::~WindowFront() { stop(); }

bool WindowFront::start(std::string* error) {
  std::promise<std::string> opened;
  auto result = opened.get_future();
  thread_ = std::thread([this, &opened] {
    Impl& m = *impl_;
    // The process's own signal handling stays as it is.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The display that was named, not a fallback without one (offscreen, console).
    if (!std::getenv("SDL_VIDEODRIVER")) {
      const char* x = std::getenv("DISPLAY");
      SDL_SetHint(SDL_HINT_VIDEODRIVER, x && *x ? "x11" : "wayland");
    }
    // Pixels go straight to the X server: no GL stack for a picture the emulator draws itself.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      opened.set_value(std::string("cannot open a window: ") + SDL_GetError());
      return;
    }
    m.scale = config_.scale;
    if (m.scale <= 0) {
      SDL_Rect usable;
      m.scale = 1;
      if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
        m.scale = std::max(1, std::min(usable.w / kWidth, usable.h / kHeight));
    }
    m.window = SDL_CreateWindow(config_.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                kWidth * m.scale, kHeight * m.scale, SDL_WINDOW_SHOWN);
    if (!m.window) {
      opened.set_value(std::string("cannot open a window: ") + SDL_GetError());
      SDL_Quit();
      return;
    }
    m.tempo = std::make_unique<BoxTempo>(emu::box().clock(), config_.speed);
    // The box's timers count box time while a window sets its tempo.
    emu::setTimerClock([] { return emu::box().clock().now(); });
    opened.set_value({});
    run();
    emu::setTimerClock(nullptr);
    m.tempo.reset();
    SDL_DestroyWindow(m.window);
    SDL_Quit();
  });
  std::string err = result.get();
  if (!err.empty()) {
    thread_.join();
    if (error) *error = err;
    return false;
  }
  return true;
}

void WindowFront::windDown() {
  // The tempo lives from start() until the window's thread ends in stop().
  if (thread_.joinable() && impl_->tempo) impl_->tempo->setSpeed(0);
}

void WindowFront::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void WindowFront::run() {
  Impl& m = *impl_;
  bool screenDirty = true, chromeDirty = true, exposed = true;
  unsigned long changes = emu::screenChanges() - 1;
  auto lastCapture = Wall::now() - kRecheck, nextFrame = Wall::now(), closedAt = Wall::time_point();
  std::string lit, status;
  auto litUntil = Wall::now();
  bool captureSoon = false;
  const auto opened = Wall::now();

  auto press = [&](const std::string& key) {
    emu::postKey(key);
    captureSoon = true;
  };
  // Taken on the box's loop, behind the keys pressed before it, so that it shows what
  // they did even when the box is slow to take them.
  auto screenshot = [dir = config_.shotDir] {
    emu::post([dir] {
      std::string path = nextShotPath(dir), err;
      double box = emu::box().clock().now() / 1e6;
      if (emu::writeScreenshot(path, &err))
        std::printf("screenshot: %s (box time %.3f s)\n", path.c_str(), box);
      else
        std::fprintf(stderr, "scrutafasci-emu: screenshot %s failed: %s\n", path.c_str(), err.c_str());
      std::fflush(stdout);
    });
  };
  auto onClose = [&] {
    if (closed_.exchange(true)) {
      std::fprintf(stderr, "scrutafasci-emu: the window was closed again before the plug-in returned; stopping\n");
      std::fflush(nullptr);
      std::_Exit(5);
    }
    closedAt = Wall::now();
    // A paused box could not answer the exit presses that follow.
    if (m.tempo->paused()) m.tempo->togglePause();
    std::fprintf(stderr, "scrutafasci-emu: window closed; leaving the plug-in\n");
  };

  while (!stop_.load()) {
    auto now = Wall::now();
    int waitMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(nextFrame - now).count());
    SDL_Event e;
    bool got = SDL_WaitEventTimeout(&e, std::max(1, waitMs)) == 1;
    while (got) {
      if (e.type == SDL_WINDOWEVENT) {
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) onClose();
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) exposed = true;
      } else if (e.type == SDL_KEYDOWN) {
        KeyAction a = mapKey(e.key.keysym.sym);
        switch (a.kind) {
          case KeyAction::Remote: press(a.remoteKey); break;
          case KeyAction::Faster: m.tempo->faster(); break;
          case KeyAction::Slower: m.tempo->slower(); break;
          case KeyAction::Pause: m.tempo->togglePause(); break;
          case KeyAction::Screenshot: screenshot(); break;
          case KeyAction::None: break;
        }
        chromeDirty = true;
      } else if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
        std::string key = m.remote.keyAt(e.button.x / m.scale, e.button.y / m.scale);
        if (!key.empty()) {
          press(key);
          lit = key;
          litUntil = Wall::now() + kLit;
          chromeDirty = true;
        }
      }
      got = SDL_PollEvent(&e) == 1;
    }
    if (closed_.load() && Wall::now() - closedAt > std::chrono::duration<double>(config_.closeBoundS)) {
      std::fprintf(stderr, "scrutafasci-emu: the plug-in did not return within %.0f s of the window's close; stopping\n",
                   config_.closeBoundS);
      std::fflush(nullptr);
      std::_Exit(5);
    }
    now = Wall::now();
    if (now < nextFrame) continue;
    nextFrame = now + kFrame;

    // The screen: repainted only when a widget asked for it (or now and then), and
    // shown only when its pixels changed.
    unsigned long c = emu::screenChanges();
    if (c != changes || captureSoon || now - lastCapture >= kRecheck) {
      changes = c;
      captureSoon = false;
      lastCapture = now;
      emu::Frame f = emu::Screen::instance().capture();
      if (f.pixels != m.lastPixels || !(f.palette.colors == m.lastPalette.colors)) {
        m.lastPixels = std::move(f.pixels);
        m.lastPalette = std::move(f.palette);
        for (int y = 0; y < kScreenH; ++y) {
          uint32_t* row = m.canvas.row(y);
          const uint8_t* src = m.lastPixels.data() + size_t(y) * kScreenW;
          for (int x = 0; x < kScreenW; ++x) {
            const gRGB& p = m.lastPalette.colors[src[x]];
            row[x] = p.a ? 0 : (uint32_t(p.r) << 16) | (uint32_t(p.g) << 8) | p.b;   // see-through: black
          }
        }
        screenDirty = true;
      }
    }
    if (!lit.empty() && now >= litUntil) {
      lit.clear();
      chromeDirty = true;
    }
    std::string s = boxTimeText(emu::box().clock().now() / 1e6, m.tempo->label()) + "\n" + tunerText();
    if (s != status) {
      status = s;
      chromeDirty = true;
    }
    if (!screenDirty && !chromeDirty && !exposed) continue;
    if (chromeDirty) {
      m.remote.draw(m.canvas, lit);
      auto nl = status.find('\n');
      drawStatusStrip(m.canvas, {0, kScreenH, kScreenW, kStripH}, status.substr(0, nl), status.substr(nl + 1));
    }
    SDL_Surface* surface = SDL_GetWindowSurface(m.window);
    if (!surface) continue;
    const int s2 = m.scale, W = kWidth * s2, H = kHeight * s2;
    m.scaled.resize(size_t(W) * size_t(H));
    for (int y = 0; y < kHeight; ++y) {
      const uint32_t* src = m.canvas.row(y);
      uint32_t* dst = m.scaled.data() + size_t(y) * s2 * W;
      for (int x = 0; x < kWidth; ++x)
        for (int k = 0; k < s2; ++k) dst[x * s2 + k] = src[x];
      for (int k = 1; k < s2; ++k) std::memcpy(dst + size_t(k) * W, dst, size_t(W) * 4);
    }
    SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(m.scaled.data(), W, H, 32, W * 4, SDL_PIXELFORMAT_XRGB8888);
    if (from) {
      SDL_BlitSurface(from, nullptr, surface, nullptr);
      SDL_FreeSurface(from);
      SDL_UpdateWindowSurface(m.window);
      frames_.fetch_add(1);
    }
    screenDirty = chromeDirty = exposed = false;
  }
  double open = std::chrono::duration<double>(Wall::now() - opened).count();
  std::fprintf(stderr, "window: %lu frames presented in %.1f s\n", frames_.load(), open);
}

}  // namespace win
