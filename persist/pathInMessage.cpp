#include "persist/pathInMessage.h"

#include <cstdio>
#include <cstring>

namespace kel {

namespace {

const char kEllipsis[] = "...";

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

void pathInMessage(const char* path, std::size_t otherBytes, char (&shown)[kFatalMessageBytes]) {
  const std::size_t length = std::strlen(path);
  const std::size_t room = kFatalMessageBytes - 1 > otherBytes ? kFatalMessageBytes - 1 - otherBytes : 0;
  if (length <= room) {
    std::memcpy(shown, path, length + 1);
    return;
  }
  const std::size_t kept = room > sizeof kEllipsis - 1 ? room - (sizeof kEllipsis - 1) : 0;
  std::size_t start = 0;
  while (start < length - kept)
    start += isLeadByte(static_cast<unsigned char>(path[start])) && start + 1 < length ? 2 : 1;
  std::snprintf(shown, sizeof shown, "%s%s", kEllipsis, path + start);
}

}  // namespace kel
