// kelht loads the library as hosts do: through the public header's loader,
// which the library's own sources compile without.
#undef KELHASHTABLEFUN_NO_LOADER
#include "library.h"

#include <cstdlib>
#include <vector>

#include "failure.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kelht {

namespace {

#if defined(_WIN32)
const char kSeparator = '\\';
std::string executablePath() {
  std::vector<char> path(32768);
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return std::string(path.data(), length);
}
#else
const char kSeparator = '/';
std::string executablePath() {
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}
#endif

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kSeparator == '/' ? "/" : "\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Beside the executable (the build tree, Windows installs), then the
// installed library folder.
std::vector<std::string> defaultPaths() {
  const std::string folder = folderOf(executablePath());
  return {folder + kSeparator + KELHASHTABLEFUN_DEFAULT_PATH,
          folder + kSeparator + KELHT_LIBRARY_DIR + kSeparator + KELHASHTABLEFUN_DEFAULT_PATH};
}

}  // namespace

Library::~Library() {
  if (loaded_) kelHashTableFunUnload(&api_);
}

const KelHashTableFun& Library::operator*() {
  if (loaded_) return api_;
  const char* fromEnvironment = std::getenv("KELHT_LIBRARY");
  std::vector<std::string> candidates = defaultPaths();
  if (!path_.empty()) candidates = {path_};
  else if (fromEnvironment != nullptr && *fromEnvironment != '\0') candidates = {fromEnvironment};
  for (const std::string& candidate : candidates)
    if ((loaded_ = kelHashTableFunLoad(&api_, candidate.c_str()) != 0)) return api_;
  std::string tried;
  for (const std::string& candidate : candidates) tried += (tried.empty() ? "" : ", ") + candidate;
  throw Failure(kTrouble, "cannot load the library (tried " + tried + "); give its path with --library");
}

}  // namespace kelht
