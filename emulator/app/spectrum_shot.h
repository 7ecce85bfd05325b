// The scan window's spectrum graph as a picture of its whole bitmap (one column
// per MHz of the band), not just the part the widget shows.
#pragma once
#include <string>

class eWidget;

namespace app {

class Plugin;

// Writes the bitmap of the graph widget as PNG, without the blank margin the
// graph keeps on the right, over a MHz scale (its column 0 is firstMHz: the scan
// window's graph starts at 10 700 MHz); false and *error when the plug-in does
// not offer it (the caller then photographs the widget).
bool writeSpectrumBitmap(const Plugin& plugin, eWidget* graph, const std::string& path, std::string* error,
                         int firstMHz = 10700);

}  // namespace app
