// The strip under the box's screen: box time, tempo, and what the emulated tuner
// is doing, read from the tuner itself (not from the plug-in).
#pragma once
#include <string>

#include "emulator/window/canvas.h"

namespace win {

// "box 0:05:43  x10" and the tuner's line, e.g.
// "Astra 19.2E (192) port 0  11778 MHz H  27500 kS/s  SIG CAR VIT SYNC LOCK".
std::string boxTimeText(double boxSeconds, const std::string& tempo);
std::string tunerText();

void drawStatusStrip(Canvas& c, const Rect& area, const std::string& left, const std::string& right);

}  // namespace win
