// USER32.dll as the runner provides it: no display, so a message box is
// written to standard error as "caption: text" and its OK button pressed.
#include <stdio.h>

#include "systemDlls.h"
#include "win32.h"

enum { MB_OK = 0x0, MB_TYPEMASK = 0xF, IDOK = 1 };

// The owner window, the icon and the modality change nothing on standard
// error; buttons other than OK would need an answer.
static int WINAPI MessageBoxA(HANDLE owner, const char* text, const char* caption, unsigned type) {
  (void)owner;
  if ((type & MB_TYPEMASK) != MB_OK) dllRunnerLacks("MessageBoxA with buttons other than OK");
  fprintf(stderr, "%s: %s\n", caption != NULL ? caption : "Error", text != NULL ? text : "");
  fflush(stderr);
  return IDOK;
}

const SystemExport user32Exports[] = {
    {"MessageBoxA", (void*)MessageBoxA},
    {NULL, NULL},
};
