// build from a restart listing: the restart file written record by record as
// the listing gives it, with its stored bucket count and counter, without
// the library and without hashing. A listing of any file the library writes
// gives back that file's bytes.
#pragma once

#include <istream>
#include <string>

#include "commands.h"

namespace kelht {

// `first` is the listing's first line, already read from `in`.
int buildFromRestartListing(const BuildOptions& options, std::istream& in, const std::string& first);

}  // namespace kelht
