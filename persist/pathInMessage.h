// A file's path inside a fatal message. The message holds at most
// kFatalMessageBytes - 1 bytes; a path that would overflow it is shown as
// "..." followed by the path's last bytes, as many as fit, so the message's
// own text after the path stays whole. The cut falls on a character boundary
// of the path read as Shift_JIS from its start (a byte 0x81-0x9F or
// 0xE0-0xFC takes the next byte with it), so no double-byte character is
// split; the message may then be a byte short of full.
#pragma once

#include <cstddef>

#include "report/messages.h"

namespace kel {

// Writes the path as shown to `shown`; `otherBytes`: the bytes of the
// message besides the path.
void pathInMessage(const char* path, std::size_t otherBytes, char (&shown)[kFatalMessageBytes]);

}  // namespace kel
