#include "module/commaList.h"

#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace kel {

CommaList::CommaList(const char* list) {
  const std::size_t length = std::strlen(list);
  copy_ = static_cast<char*>(allocateOrDie(length + 1));
  std::memcpy(copy_, list, length + 1);
  // One slot per byte plus one: enough for a list made only of commas.
  tokens_ = static_cast<const char**>(allocateOrDie((length + 1) * sizeof(const char*)));
  tokens_[0] = copy_;
  for (std::size_t i = 0; i < length; ++i) {
    if (copy_[i] != ',') continue;
    copy_[i] = '\0';
    tokens_[count_++] = copy_ + i + 1;
  }
}

CommaList::~CommaList() {
  std::free(tokens_);
  std::free(copy_);
}

}  // namespace kel
