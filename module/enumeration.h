// Snapshots of the whole current table in walk order (bucket index
// ascending, each chain from its head), in arrays allocated with malloc that
// become the host's, as does every key copy in them.
#pragma once

namespace kel {

void listContents(int* count, int** contents);
void listFullContents(int* count, int** contents, char*** stringKeys, int** longKeys);

// Releases an array or a key copy the listings returned, with the allocator
// that made it (for hosts whose own free belongs to another C runtime).
void freeListed(void* block);

}  // namespace kel
