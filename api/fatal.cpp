#include "api/fatal.h"

#include <cstdarg>
#include <cstdlib>

#include "core/memory.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kel {

namespace {

const char kCaption[] = "HashTablePure";
// "HashTable:メモリが足りません" in Shift_JIS.
const char kOutOfMemory[] =
    "HashTable:\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1";

void present(const char* message) {
#if defined(_WIN32)
  MessageBoxA(nullptr, message, kCaption, MB_OK);
#else
  std::fprintf(stderr, "%s: %s\n", kCaption, message);
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

void outOfMemory() { showFatal(nullptr, "%s", kOutOfMemory); }

}  // namespace kel
