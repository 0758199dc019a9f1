// Restart files read record by record through the library's scanner, with
// a progress bar for large files. Nothing here builds a table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "persist/restartScanner.h"

namespace kelht {

struct ScannedFile {
  kel::RestartScan scan{};
  int32_t size = 0;     // from the header, when it was read
  int32_t counter = 0;  // likewise
  int64_t bytes = 0;    // the file's length
  bool damaged() const { return scan.damage != kel::RestartDamage::kNone; }
};

// A string key's bytes.
inline std::string_view keyOf(const kel::RestartEntry& e) { return {e.stringKey, e.keyLength}; }

// A Failure when `path` names a folder, which some systems open as a file
// that reads nothing.
void refuseFolder(const std::string& path);

// Shows every record of the file at `path` to `visitor`. A file that cannot
// be opened or read (a folder, for one) is a Failure.
ScannedFile scanFile(const std::string& path, kel::RestartVisitor& visitor);

// "PATH: damaged at offset N: why".
std::string damageReport(const std::string& path, const ScannedFile& file);

// Ends a command on a damaged file, after what it printed so far: the damage
// report on standard error, exit status 1.
int reportDamage(const std::string& path, const ScannedFile& file);

// A Failure unless the file is sound enough for the library to load: the
// library would end the process on a damaged file.
void requireLoadable(const std::string& path);

}  // namespace kelht
