// Snapshots of the whole current table in walk order (bucket index
// ascending, each chain from its head), in arrays allocated with malloc that
// become the host's, as does every key copy in them.
#pragma once

namespace kel {

void listContents(int* count, int** contents);
void listFullContents(int* count, int** contents, char*** stringKeys, int** longKeys);

}  // namespace kel
