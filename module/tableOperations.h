// The operations on the current table that the exports offer besides
// building, listing and dumping: each does nothing without a current table
// (the searches still clear their found flags), and a null string key is
// never present.
#pragma once

#include <cstdint>

namespace kel {

void addStringKey(const char* key, int32_t content);
void addLongKey(int32_t key, int32_t content);
void setStringContent(const char* key, int32_t content);
void setLongContent(int32_t key, int32_t content);

// With `content` null the key goes whatever its content; otherwise only when
// its content equals *content, which then receives the key's content (0 when
// the key is absent).
void removeStringKey(const char* key, int32_t* content);
void removeLongKey(int32_t key, int32_t* content);

// found[i] = 1 and contents[i] = the content for every key present; found[i]
// = 0 for the others, whose contents[i] are left alone. Null arrays are not
// written; a negative count writes nothing.
void searchStrings(const char* const* keys, int32_t count, char* found, int32_t* contents);
void searchLongs(const int32_t* keys, int32_t count, char* found, int32_t* contents);

}  // namespace kel
