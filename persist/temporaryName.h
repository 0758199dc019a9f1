// The names of a dump's temporary files: "<file>.<pid>-<n>.tmp", beside the
// file they replace. The process id keeps dumps of several processes apart;
// whether a writer is still at work is decided by the lock it holds, not by
// the id (which says nothing across containers and network shares).
#pragma once

#include <cstddef>

namespace kel {

// Writes the n-th temporary name of `file` (a name or a path) into `name`,
// of `size` bytes; false when it does not fit.
bool formatTemporaryName(char* name, std::size_t size, const char* file, long processId, int n);

// Whether `name` is a temporary name of the file named `base`, as
// formatTemporaryName makes them (digits where the numbers go).
bool isTemporaryNameOf(const char* name, const char* base);

}  // namespace kel
