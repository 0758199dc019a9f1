// Files for the restart-file tests: a private scratch directory per test,
// whole-file reads and writes, and restart-file bytes built field by field.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kel::test {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = "/tmp/kelRestartXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchDirectory() {
    for (const std::string& name : names()) std::remove((path_ + "/" + name).c_str());
    rmdir(path_.c_str());
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

  // The names of the directory's entries, "." and ".." left out.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    if (DIR* dir = opendir(path_.c_str())) {
      while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") found.push_back(name);
      }
      closedir(dir);
    }
    return found;
  }

 private:
  std::string path_;
};

inline std::string readBytes(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) != 0;) bytes.append(chunk, got);
    std::fclose(f);
  }
  return bytes;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Restart-file bytes: 32-bit little-endian integers, single bytes, and
// string keys with their NUL.
class Bytes {
 public:
  Bytes& i32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<char>(bits >> shift));
    return *this;
  }
  Bytes& u8(uint8_t value) {
    bytes_.push_back(static_cast<char>(value));
    return *this;
  }
  Bytes& str(const std::string& key) {
    bytes_ += key;
    bytes_.push_back('\0');
    return *this;
  }
  Bytes& raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  // An entry record of each kind.
  Bytes& longEntry(int32_t content, int32_t key) { return i32(content).u8(1).i32(key); }
  Bytes& stringEntry(int32_t content, const std::string& key) { return i32(content).u8(0).str(key); }

  operator const std::string&() const { return bytes_; }
  const std::string& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};

}  // namespace kel::test
