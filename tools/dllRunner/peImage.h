// A 32-bit PE DLL mapped into this process as the Windows loader maps it:
// each section at its RVA, base relocations applied when the image cannot
// sit at the address it was linked for, every import bound, and the pages
// protected as the sections ask. The headers, sections and relocations are
// checked against the file; the import, export and TLS tables are trusted:
// the runner maps the DLLs this project's toolchain links.
#ifndef DLLRUNNER_PE_IMAGE_H
#define DLLRUNNER_PE_IMAGE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "peFormat.h"

typedef struct PeImage PeImage;

// The address an import of `dll`!`name` binds to, or null when there is none.
typedef void* PeImportResolver(const char* dll, const char* name);

// Maps the DLL at `path`; null when it cannot, with the reason (starting
// with the path) in `error`. An import the resolver lacks is such a reason.
PeImage* peImageMap(const char* path, PeImportResolver* resolve, char* error, size_t errorBytes);
void peImageUnmap(PeImage* image);

unsigned char* peImageBase(const PeImage* image);
// Null when the DLL has no entry point, or no TLS directory.
void* peImageEntryPoint(const PeImage* image);
const PeTlsDirectory* peImageTls(const PeImage* image);

// The image's pages keep the POSIX protection the runner last gave them
// (a query of the process's own map would not show it under qemu, which
// never maps the guest's code executable).
bool peImageContains(const PeImage* image, const void* address);
int peImageProtection(const PeImage* image, const void* address);
// From the page of `address` on, the bytes of the pages protected alike.
size_t peImageRegionBytes(const PeImage* image, const void* address);
// The pages that hold [address, address + bytes), all in the image.
bool peImageProtect(PeImage* image, void* address, size_t bytes, int protection);

// Null when the DLL exports no such function (or only forwards it).
void* peImageExportByName(const PeImage* image, const char* name);
void* peImageExportByOrdinal(const PeImage* image, uint32_t ordinal);

#endif
