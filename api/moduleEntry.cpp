// Module entry on Windows: thread attach and detach notifications are turned
// off, and nothing else happens at load or unload. The hash multiplier is
// set by static initialisation before any export can run.
#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}
#endif
