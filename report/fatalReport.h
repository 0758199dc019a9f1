// The module's one way of reporting a fatal condition: the message is shown
// to the user with the caption "HashTablePure", then the file (if any) is
// closed and the process ends with exit status 1. Never returns.
//
// Windows shows a message box, after writing the caption, ": ", the message
// and a newline to the debugger output; elsewhere that line goes to stderr. Messages are Shift_JIS byte
// strings and are passed through untouched. Nothing here uses any other part
// of the library, so every part may report.
#pragma once

#include <cstdio>

namespace kel {

// The formatted message is cut to kFatalMessageBytes - 1 bytes.
[[noreturn]] void showFatal(std::FILE* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Running out of memory, reported as every fatal condition is.
[[noreturn]] void outOfMemory();

}  // namespace kel
