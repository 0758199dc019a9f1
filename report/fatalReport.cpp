#include "report/fatalReport.h"

#include <cstdarg>
#include <cstdlib>

#include "report/messages.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kel {

namespace {

void present(const char* message) {
#if defined(_WIN32)
  // A process without a desktop (a service, a scheduled run) shows no box;
  // the debugger output keeps the report where a debugger or a log reads it.
  char line[sizeof kFatalCaption + 2 + kFatalMessageBytes + 1];
  std::snprintf(line, sizeof line, "%s: %s\n", kFatalCaption, message);
  OutputDebugStringA(line);
  MessageBoxA(nullptr, message, kFatalCaption, MB_OK);
#else
  std::fprintf(stderr, "%s: %s\n", kFatalCaption, message);
  std::fflush(stderr);
#endif
}

}  // namespace

void showFatal(std::FILE* file, const char* format, ...) {
  char message[kFatalMessageBytes];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
  present(message);
  if (file != nullptr) std::fclose(file);
  std::exit(1);
}

void outOfMemory() { showFatal(nullptr, "%s", kOutOfMemoryMessage); }

}  // namespace kel
