// The module's one way of reporting a fatal condition: the message is shown
// to the user with the caption "HashTablePure", then the file (if any) is
// closed and the process ends with exit status 1. Never returns.
//
// Windows shows a message box; elsewhere the caption, ": ", the message bytes
// as formatted and a newline go to stderr. Messages are Shift_JIS byte
// strings and are passed through untouched.
#pragma once

#include <cstdio>

namespace kel {

// The formatted message is cut to kFatalMessageBytes - 1 bytes.
constexpr int kFatalMessageBytes = 1000;

// "dump_to_restart: counter(%d)!=実際数(%d)" in Shift_JIS: the chains of the
// current table do not hold `counter` entries. Counter first, entries second.
inline constexpr char kCounterMismatchFormat[] =
    "dump_to_restart: counter(%d)!=\x8e\xc0\x8d\xdb\x90\x94(%d)";

[[noreturn]] void showFatal(std::FILE* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

}  // namespace kel
