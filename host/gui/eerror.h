// The host's log: printf-style lines (with %m) to the debug log.
#pragma once

void eDebug(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void eWarning(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Logs and stops the application.
[[noreturn]] void eFatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
