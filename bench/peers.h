// The general-purpose hash maps the library is measured against, each with
// its own default hash function: std::unordered_map (libstdc++),
// absl::flat_hash_map and boost::unordered_flat_map. String maps own
// std::string keys and are searched by std::string_view (heterogeneous
// lookup), as a C++ engineer would set them up; every peer is given
// reserve(n) where the library sizes its own table from n.
// KEL_PEERS_WITHOUT_ABSL leaves Abseil out, for builds where its libraries
// are missing (Debian has no 32-bit ones).
#pragma once

#if !defined(KEL_PEERS_WITHOUT_ABSL)
#include <absl/container/flat_hash_map.h>
#endif
#include <boost/container_hash/hash.hpp>
#include <boost/unordered/unordered_flat_map.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>

namespace bench {

struct StdStringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
struct BoostStringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return boost::hash<std::string_view>()(s); }
};

using StdStrings = std::unordered_map<std::string, int, StdStringHash, std::equal_to<>>;
#if !defined(KEL_PEERS_WITHOUT_ABSL)
using AbslStrings = absl::flat_hash_map<std::string, int>;
#endif
using BoostStrings = boost::unordered_flat_map<std::string, int, BoostStringHash, std::equal_to<>>;
// A probe as the map takes it: Abseil has its own string_view type.
template <typename Map, typename Key>
auto probe(const Key& key) {
#if !defined(KEL_PEERS_WITHOUT_ABSL)
  if constexpr (std::is_same_v<Map, AbslStrings>) return absl::string_view(key.data(), key.size());
  else
#endif
    return key;
}

using StdLongs = std::unordered_map<int32_t, int>;
#if !defined(KEL_PEERS_WITHOUT_ABSL)
using AbslLongs = absl::flat_hash_map<int32_t, int>;
#endif
using BoostLongs = boost::unordered_flat_map<int32_t, int>;

}  // namespace bench
