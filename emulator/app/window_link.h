// What run and scan do with --window: open the window for the loaded box, and
// say how the receiver was left once the plug-in has returned.
#pragma once
#include <memory>
#include <string>

#include "emulator/app/options.h"
#include "emulator/window/window_front.h"

namespace app {

// Before the box is set up: 0 when a window can be opened (or none is wanted),
// else the usage status after one line on standard error.
int checkDisplay(const WindowOptions& o);
// Opens the window titled after the loaded scenario; null (and one line on
// standard error) when it cannot be opened.
std::unique_ptr<win::WindowFront> openWindow(const WindowOptions& o, const std::string& shotDir);
// After a window's close: one line on the receiver's mode and tuning.
void tellReceiver();

}  // namespace app
