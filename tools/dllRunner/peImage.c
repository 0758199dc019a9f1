#define _GNU_SOURCE
#include "peImage.h"

#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

_Static_assert(sizeof(PeNtHeaders) == 248, "the NT headers of a 32-bit image");
_Static_assert(sizeof(PeSection) == 40, "a section header");

enum { kPageBytes = 4096 };

struct PeImage {
  unsigned char* base;
  uint32_t size;
  const PeNtHeaders* headers;  // in the image
  unsigned char* protections;  // PROT_* of each page, as the runner set them
};

static void appendf(char* text, size_t bytes, const char* format, ...) {
  const size_t used = strlen(text);
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(text + used, bytes - used, format, arguments);
  va_end(arguments);
}

static uint32_t pagesFor(uint32_t bytes) { return (bytes + kPageBytes - 1) & ~(uint32_t)(kPageBytes - 1); }

static bool within(uint32_t offset, uint32_t length, size_t size) {
  return offset <= size && length <= size - offset;
}

// The whole file, or null with errno set.
static unsigned char* readFile(const char* path, size_t* size) {
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (descriptor < 0) return NULL;
  unsigned char* bytes = fstat(descriptor, &status) == 0 ? malloc((size_t)status.st_size + 1) : NULL;
  size_t got = 0;
  ssize_t n = 1;
  while (bytes != NULL && got < (size_t)status.st_size &&
         (n = read(descriptor, bytes + got, (size_t)status.st_size - got)) > 0)
    got += (size_t)n;
  if (bytes != NULL && n <= 0) {
    if (n == 0) errno = EIO;  // the file got shorter
    free(bytes);
    bytes = NULL;
  }
  *size = got;
  close(descriptor);
  return bytes;
}

static const PeSection* sectionsOf(const PeNtHeaders* headers) {
  return (const PeSection*)((const unsigned char*)&headers->magic + headers->optionalHeaderSize);
}

// The NT headers of a 32-bit x86 DLL whose sections fit the file and the
// image, or null.
static const PeNtHeaders* dllHeadersOf(const unsigned char* file, size_t size) {
  uint32_t at;
  if (size < kPeHeaderOffset + 4 || file[0] != 'M' || file[1] != 'Z') return NULL;
  memcpy(&at, file + kPeHeaderOffset, sizeof at);
  if (!within(at, sizeof(PeNtHeaders), size)) return NULL;
  const PeNtHeaders* headers = (const PeNtHeaders*)(file + at);
  if (headers->signature != kNtSignature || headers->machine != kMachineI386 ||
      headers->magic != kOptionalHeader32Magic || !(headers->characteristics & kFileIsDll) ||
      headers->directoryCount < kDirectoryCount || headers->sectionAlignment < kPageBytes ||
      headers->headersSize > headers->imageSize || headers->headersSize > size)
    return NULL;
  // The section table ends the headers, which are copied into the image.
  const size_t sectionsAt = (size_t)((const unsigned char*)sectionsOf(headers) - file);
  if (!within((uint32_t)sectionsAt, headers->sectionCount * (uint32_t)sizeof(PeSection),
              headers->headersSize))
    return NULL;
  for (const PeSection* s = sectionsOf(headers); s < sectionsOf(headers) + headers->sectionCount; ++s) {
    const uint32_t span = s->virtualSize ? s->virtualSize : s->rawSize;
    if (!within(s->rva, span, headers->imageSize) ||
        !within(s->rawOffset, s->rawSize < span ? s->rawSize : span, size))
      return NULL;
  }
  return headers;
}

// The headers, then each section at its RVA; what a section has beyond its
// bytes in the file stays zero.
static void copySections(PeImage* image, const unsigned char* file, const PeNtHeaders* headers) {
  memcpy(image->base, file, headers->headersSize);
  image->headers = (const PeNtHeaders*)(image->base + ((const unsigned char*)headers - file));
  for (const PeSection* s = sectionsOf(headers); s < sectionsOf(headers) + headers->sectionCount; ++s) {
    const uint32_t span = s->virtualSize ? s->virtualSize : s->rawSize;
    memcpy(image->base + s->rva, file + s->rawOffset, s->rawSize < span ? s->rawSize : span);
  }
}

// Moves every absolute address in the image by `delta`.
static bool relocate(PeImage* image, uint32_t delta) {
  const PeDataDirectory table = image->headers->directories[kRelocationDirectory];
  if (!within(table.rva, table.size, image->size)) return false;
  for (uint32_t at = table.rva; at + sizeof(PeRelocationBlock) <= table.rva + table.size;) {
    const PeRelocationBlock* block = (const PeRelocationBlock*)(image->base + at);
    const uint16_t* entries = (const uint16_t*)(block + 1);
    if (block->blockSize < sizeof *block || !within(at, block->blockSize, table.rva + table.size))
      return false;
    for (size_t i = 0; i < (block->blockSize - sizeof *block) / 2; ++i) {
      const uint32_t target = block->pageRva + (entries[i] & 0xFFF);
      if ((entries[i] >> 12) == kRelocationAbsolute) continue;
      if ((entries[i] >> 12) != kRelocationHighLow || !within(target, 4, image->size)) return false;
      *(uint32_t*)(image->base + target) += delta;
    }
    at += block->blockSize;
  }
  return true;
}

// Fills every import address table; names in `error` each import that
// `resolve` lacks, and imports by ordinal, which it never provides.
static bool bindImports(PeImage* image, PeImportResolver* resolve, char* error, size_t errorBytes) {
  const PeDataDirectory table = image->headers->directories[kImportDirectory];
  bool complete = true;
  if (table.size == 0) return true;
  for (const PeImportDescriptor* d = (const PeImportDescriptor*)(image->base + table.rva); d->dllName != 0;
       ++d) {
    const char* dll = (const char*)image->base + d->dllName;
    const uint32_t* names = (const uint32_t*)(image->base + (d->nameTable ? d->nameTable : d->addressTable));
    uint32_t* slots = (uint32_t*)(image->base + d->addressTable);
    for (; *names != 0; ++names, ++slots) {
      const char* name =
          *names & kImportByOrdinal ? NULL : (const char*)image->base + *names + 2;  // past its hint
      void* address = name != NULL ? resolve(dll, name) : NULL;
      if (address != NULL) {
        *slots = (uint32_t)(uintptr_t)address;
        continue;
      }
      if (complete) appendf(error, errorBytes, " imports what the runner does not provide:");
      if (name != NULL)
        appendf(error, errorBytes, " %s!%s", dll, name);
      else
        appendf(error, errorBytes, " %s!#%u", dll, (unsigned)(*names & 0xFFFF));
      complete = false;
    }
  }
  return complete;
}

// A writable section is readable too, as Windows maps it.
static int protectionOf(uint32_t characteristics) {
  return (characteristics & (kSectionReadable | kSectionWritable) ? PROT_READ : 0) |
         (characteristics & kSectionWritable ? PROT_WRITE : 0) |
         (characteristics & kSectionExecutable ? PROT_EXEC : 0);
}

// The headers read-only, each section as its characteristics say.
static bool protect(PeImage* image) {
  const PeNtHeaders* headers = image->headers;
  bool done = peImageProtect(image, image->base, headers->headersSize, PROT_READ);
  for (const PeSection* s = sectionsOf(headers); s < sectionsOf(headers) + headers->sectionCount; ++s) {
    const uint32_t span = s->virtualSize ? s->virtualSize : s->rawSize;
    done = done && peImageProtect(image, image->base + s->rva, span, protectionOf(s->characteristics));
  }
  return done;
}

// Relocated when it had to move, bound and protected: ready to run.
static bool prepare(PeImage* image, PeImportResolver* resolve, char* error, size_t errorBytes) {
  const PeNtHeaders* headers = image->headers;
  const uint32_t delta = (uint32_t)(uintptr_t)image->base - headers->imageBase;
  if (delta != 0 && ((headers->characteristics & kFileRelocationsStripped) || !relocate(image, delta))) {
    appendf(error, errorBytes, " cannot be moved from 0x%08x", (unsigned)headers->imageBase);
    return false;
  }
  if (!bindImports(image, resolve, error, errorBytes)) return false;
  if (!protect(image)) {
    appendf(error, errorBytes, " its pages cannot be protected: %s", strerror(errno));
    return false;
  }
  return true;
}

// At the address the DLL was linked for when it is free, elsewhere otherwise.
static PeImage* mapFile(const unsigned char* file, size_t size, PeImportResolver* resolve, char* error,
                        size_t errorBytes) {
  const PeNtHeaders* headers = dllHeadersOf(file, size);
  if (headers == NULL) return appendf(error, errorBytes, " not a 32-bit x86 DLL"), NULL;
  PeImage* image = malloc(sizeof *image);
  unsigned char* protections = malloc(pagesFor(headers->imageSize) / kPageBytes);
  void* base = mmap((void*)(uintptr_t)headers->imageBase, headers->imageSize, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (image == NULL || protections == NULL || base == MAP_FAILED) {
    if (base != MAP_FAILED) munmap(base, headers->imageSize);
    free(image);
    free(protections);
    appendf(error, errorBytes, " no room for its %u bytes", (unsigned)headers->imageSize);
    return NULL;
  }
  image->base = base;
  image->size = headers->imageSize;
  image->protections = memset(protections, PROT_READ | PROT_WRITE, pagesFor(headers->imageSize) / kPageBytes);
  copySections(image, file, headers);
  if (prepare(image, resolve, error, errorBytes)) return image;
  peImageUnmap(image);
  return NULL;
}

PeImage* peImageMap(const char* path, PeImportResolver* resolve, char* error, size_t errorBytes) {
  size_t size = 0;
  snprintf(error, errorBytes, "%s:", path);
  unsigned char* file = readFile(path, &size);
  if (file == NULL) return appendf(error, errorBytes, " %s", strerror(errno)), NULL;
  PeImage* image = mapFile(file, size, resolve, error, errorBytes);
  free(file);
  return image;
}

void peImageUnmap(PeImage* image) {
  munmap(image->base, image->size);
  free(image->protections);
  free(image);
}

bool peImageContains(const PeImage* image, const void* address) {
  return (uintptr_t)address - (uintptr_t)image->base < image->size;
}

static uint32_t pageOf(const PeImage* image, const void* address) {
  return (uint32_t)(((uintptr_t)address - (uintptr_t)image->base) / kPageBytes);
}

int peImageProtection(const PeImage* image, const void* address) {
  return image->protections[pageOf(image, address)];
}

size_t peImageRegionBytes(const PeImage* image, const void* address) {
  const uint32_t first = pageOf(image, address), pages = pagesFor(image->size) / kPageBytes;
  uint32_t end = first + 1;
  while (end < pages && image->protections[end] == image->protections[first]) ++end;
  return (size_t)(end - first) * kPageBytes;
}

bool peImageProtect(PeImage* image, void* address, size_t bytes, int protection) {
  const uint32_t first = pageOf(image, address);
  const uint32_t end = pageOf(image, (const char*)address + bytes + kPageBytes - 1);
  if (end > pagesFor(image->size) / kPageBytes || bytes == 0) return errno = EINVAL, false;
  if (mprotect(image->base + (size_t)first * kPageBytes, (size_t)(end - first) * kPageBytes, protection) != 0)
    return false;
  memset(image->protections + first, protection, end - first);
  return true;
}

unsigned char* peImageBase(const PeImage* image) { return image->base; }

void* peImageEntryPoint(const PeImage* image) {
  return image->headers->entryPoint != 0 ? image->base + image->headers->entryPoint : NULL;
}

const PeTlsDirectory* peImageTls(const PeImage* image) {
  const PeDataDirectory table = image->headers->directories[kTlsDirectory];
  return table.size != 0 ? (const PeTlsDirectory*)(image->base + table.rva) : NULL;
}

void* peImageExportByOrdinal(const PeImage* image, uint32_t ordinal) {
  const PeDataDirectory table = image->headers->directories[kExportDirectory];
  if (table.size == 0) return NULL;
  const PeExportDirectory* exports = (const PeExportDirectory*)(image->base + table.rva);
  const uint32_t index = ordinal - exports->ordinalBase;
  if (ordinal < exports->ordinalBase || index >= exports->functionCount) return NULL;
  const uint32_t rva = ((const uint32_t*)(image->base + exports->functions))[index];
  // An RVA inside the export table is a forwarder ("OTHER.name"): not followed.
  if (rva == 0 || (rva >= table.rva && rva - table.rva < table.size)) return NULL;
  return image->base + rva;
}

void* peImageExportByName(const PeImage* image, const char* name) {
  const PeDataDirectory table = image->headers->directories[kExportDirectory];
  if (table.size == 0) return NULL;
  const PeExportDirectory* exports = (const PeExportDirectory*)(image->base + table.rva);
  const uint32_t* names = (const uint32_t*)(image->base + exports->names);
  const uint16_t* ordinals = (const uint16_t*)(image->base + exports->nameOrdinals);
  for (uint32_t i = 0; i < exports->nameCount; ++i)
    if (strcmp((const char*)image->base + names[i], name) == 0)
      return peImageExportByOrdinal(image, exports->ordinalBase + ordinals[i]);
  return NULL;
}
