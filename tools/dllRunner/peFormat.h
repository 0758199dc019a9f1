// The parts of the PE format of a 32-bit Windows DLL that the runner reads:
// headers, sections, data directories, and the export, import, base
// relocation and TLS tables. Offsets and addresses inside the image are RVAs
// (relative to where the image is mapped) unless named otherwise.
#ifndef DLLRUNNER_PE_FORMAT_H
#define DLLRUNNER_PE_FORMAT_H

#include <stdint.h>

enum {
  kDosSignature = 0x5A4D,     // "MZ"
  kNtSignature = 0x00004550,  // "PE\0\0"
  kMachineI386 = 0x014C,
  kOptionalHeader32Magic = 0x010B,
  kFileIsDll = 0x2000,
  kFileRelocationsStripped = 0x0001,
  kPeHeaderOffset = 0x3C,  // where the DOS header keeps the offset of "PE\0\0"
};

enum PeDirectory {
  kExportDirectory = 0,
  kImportDirectory = 1,
  kRelocationDirectory = 5,
  kTlsDirectory = 9,
  kDirectoryCount = 16,
};

enum {
  kSectionExecutable = 0x20000000,
  kSectionReadable = 0x40000000,
};
#define kSectionWritable 0x80000000u

typedef struct {
  uint32_t rva;
  uint32_t size;
} PeDataDirectory;

typedef struct {
  uint32_t signature;
  uint16_t machine;
  uint16_t sectionCount;
  uint32_t timeStamp;
  uint32_t symbolTable;
  uint32_t symbolCount;
  uint16_t optionalHeaderSize;
  uint16_t characteristics;
  uint16_t magic;  // the optional header, 32-bit form, from here on
  uint8_t linkerVersion[2];
  uint32_t codeSize;
  uint32_t initializedDataSize;
  uint32_t uninitializedDataSize;
  uint32_t entryPoint;
  uint32_t codeBase;
  uint32_t dataBase;
  uint32_t imageBase;  // the address the image was linked for
  uint32_t sectionAlignment;
  uint32_t fileAlignment;
  uint16_t versions[6];
  uint32_t win32Version;
  uint32_t imageSize;
  uint32_t headersSize;
  uint32_t checksum;
  uint16_t subsystem;
  uint16_t dllCharacteristics;
  uint32_t stackAndHeapSizes[4];
  uint32_t loaderFlags;
  uint32_t directoryCount;
  PeDataDirectory directories[kDirectoryCount];
} PeNtHeaders;

typedef struct {
  char name[8];
  uint32_t virtualSize;
  uint32_t rva;
  uint32_t rawSize;
  uint32_t rawOffset;
  uint32_t relocationsAndLineNumbers[2];
  uint16_t counts[2];
  uint32_t characteristics;
} PeSection;

typedef struct {
  uint32_t nameTable;  // the lookup table: names or ordinals, never written
  uint32_t timeStamp;
  uint32_t forwarderChain;
  uint32_t dllName;
  uint32_t addressTable;  // the import address table, bound at load
} PeImportDescriptor;

#define kImportByOrdinal 0x80000000u

typedef struct {
  uint32_t characteristics;
  uint32_t timeStamp;
  uint16_t versions[2];
  uint32_t dllName;
  uint32_t ordinalBase;
  uint32_t functionCount;
  uint32_t nameCount;
  uint32_t functions;     // RVAs of the functions, by ordinal - ordinalBase
  uint32_t names;         // RVAs of the names, in ascending order
  uint32_t nameOrdinals;  // for each name, its ordinal - ordinalBase (16 bits)
} PeExportDirectory;

typedef struct {
  uint32_t pageRva;
  uint32_t blockSize;  // this header and its 16-bit entries: type << 12 | offset
} PeRelocationBlock;

enum { kRelocationAbsolute = 0, kRelocationHighLow = 3 };

// Addresses here are virtual addresses, relocated like any other.
typedef struct {
  uint32_t dataStart;
  uint32_t dataEnd;
  uint32_t indexAddress;
  uint32_t callbacks;  // a null-terminated array of TLS callbacks
  uint32_t zeroFillSize;
  uint32_t characteristics;
} PeTlsDirectory;

#endif
