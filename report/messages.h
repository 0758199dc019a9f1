// Every text the library shows. The texts are the system's own: Shift_JIS
// (code page 932) byte strings, kept byte for byte.
#pragma once

namespace kel {

// The caption of every fatal report.
inline constexpr char kFatalCaption[] = "HashTablePure";

// A fatal message holds at most kFatalMessageBytes - 1 bytes.
constexpr int kFatalMessageBytes = 1000;

// "HashTable:メモリが足りません": an allocation failed.
inline constexpr char kOutOfMemoryMessage[] =
    "HashTable:\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1";

// "dump_to_restart: counter(%d)!=実際数(%d)": the chains of the table do not
// hold `counter` entries. Counter first, entries walked second.
inline constexpr char kCounterMismatchFormat[] =
    "dump_to_restart: counter(%d)!=\x8e\xc0\x8d\xdb\x90\x94(%d)";

// "HashTable:binFileName=%s が見つかりません": a restart file cannot be opened.
inline constexpr char kRestartFileNotFoundFormat[] =
    "HashTable:binFileName=%s \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";

// "HashTable:binFileName=%s が壊れています(offset=%ld)": a restart file stops
// making sense at byte `offset`.
inline constexpr char kRestartFileDamagedFormat[] =
    "HashTable:binFileName=%s \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "(offset=%ld)";

}  // namespace kel
