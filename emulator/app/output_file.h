// Files the scan writes at its end (channel lists, the spectrum CSV): checked before
// the scan starts, written beside and renamed over, so no half-written file is left.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

namespace app {

// Empty when a file can be written at path (its folder exists and takes a new file,
// and path is not a folder); otherwise what is wrong, naming the path.
std::string whyNotWritable(const std::string& path);

// Writes text to path + ".part", then renames it over path. Throws std::runtime_error.
void writeFileAtomically(const std::string& path, const std::string& text);
// The same with the text streamed by write, which returns false when a write failed.
void writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write);

}  // namespace app
