#include "listing.h"

#include <vector>

#include "lineInput.h"

namespace kelht {

namespace {
const char kRestartPrefix[] = "# kelht restart listing: buckets ";
const char kCounterPrefix[] = ", counter ";
}  // namespace

const char kListingColumns[] = "bucket\tposition\tkind\tkey\tcontent";

std::string restartListingHeader(int32_t size, int32_t counter) {
  return kRestartPrefix + std::to_string(size) + kCounterPrefix + std::to_string(counter);
}

bool startsRestartListing(const std::string& line) { return line.rfind(kRestartPrefix, 0) == 0; }

StoredHeader readRestartListingHeader(const std::string& input, const std::string& line) {
  const std::size_t sizeAt = sizeof kRestartPrefix - 1;
  const std::size_t counterPrefixAt = line.find(kCounterPrefix, sizeAt);
  if (counterPrefixAt == std::string::npos) malformed(input, 1, "a restart listing's first line gives a counter");
  const std::size_t counterAt = counterPrefixAt + sizeof kCounterPrefix - 1;
  return {integerField(input, 1, line.substr(sizeAt, counterPrefixAt - sizeAt), "bucket count"),
          integerField(input, 1, line.substr(counterAt), "counter")};
}

ListedEntry readListedEntry(const std::string& input, long line, const std::string& row, bool cp932) {
  const std::vector<std::string> fields = split(row, '\t');
  if (fields.size() != 5) malformed(input, line, "a listing row has five fields");
  ListedEntry entry{integerField(input, line, fields[0], "bucket"),
                    integerField(input, line, fields[1], "position"), fields[2] == "long", 0, {},
                    integerField(input, line, fields[4], "content")};
  if (entry.isLong) entry.longKey = integerField(input, line, fields[3], "long key");
  else if (fields[2] == "string") entry.key = stringKeyField(input, line, fields[3], true, cp932);
  else malformed(input, line, "kind \"" + fields[2] + "\" is neither string nor long");
  return entry;
}

}  // namespace kelht
