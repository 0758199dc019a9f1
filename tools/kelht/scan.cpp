#include "scan.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "failure.h"
#include "progress.h"

namespace kelht {

namespace {

using kel::RestartDamage;

// Passes every record on, keeping the header and drawing progress.
class Watcher final : public kel::RestartVisitor {
 public:
  Watcher(kel::RestartVisitor& inner, ScannedFile& file, Progress& progress)
      : inner_(inner), file_(file), progress_(progress) {}
  void header(int32_t size, int32_t counter) override {
    file_.size = size;
    file_.counter = counter;
    inner_.header(size, counter);
  }
  void chain(const kel::RestartChain& chain) override { inner_.chain(chain); }
  void entry(const kel::RestartEntry& entry) override {
    progress_.at(entry.offset);
    inner_.entry(entry);
  }
  void chainEnd() override { inner_.chainEnd(); }

 private:
  kel::RestartVisitor& inner_;
  ScannedFile& file_;
  Progress& progress_;
};

class Ignorer final : public kel::RestartVisitor {
 public:
  void header(int32_t, int32_t) override {}
  void chain(const kel::RestartChain&) override {}
  void entry(const kel::RestartEntry&) override {}
  void chainEnd() override {}
};

struct Closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int64_t lengthOf(std::FILE* file) {
#if defined(_WIN32)
  _fseeki64(file, 0, SEEK_END);
  const int64_t length = _ftelli64(file);
#else
  fseeko(file, 0, SEEK_END);
  const int64_t length = ftello(file);
#endif
  std::rewind(file);
  return length;
}

std::string why(RestartDamage damage, int32_t size) {
  switch (damage) {
    case RestartDamage::kEndsInSize: return "the file ends before the bucket count";
    case RestartDamage::kEndsInCounter: return "the file ends before the counter";
    case RestartDamage::kEndsInBucket:
      return "the file ends where a chain record should start (the counter asks for more entries)";
    case RestartDamage::kEndsInChainLength: return "the file ends before a chain length";
    case RestartDamage::kEndsInContent:
      return "the file ends where an entry record should start (the chain length asks for more)";
    case RestartDamage::kEndsInIsLong: return "the file ends before an isLong byte";
    case RestartDamage::kEndsInLongKey: return "the file ends before a long key";
    case RestartDamage::kSizeBelowOne: return "bucket count below 1";
    case RestartDamage::kBucketOutOfRange:
      return "bucket index outside 0.." + std::to_string(int64_t{size} - 1);
    case RestartDamage::kBadIsLong: return "isLong byte other than 0 and 1";
    case RestartDamage::kStringTooLong: return "string key longer than 499999 bytes";
    case RestartDamage::kStringUnterminated: return "string key without its NUL before the end of the file";
    case RestartDamage::kNone: break;
  }
  return "sound";
}

}  // namespace

void refuseFolder(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw Failure(kTrouble, path + ": a folder, not a file");
}

ScannedFile scanFile(const std::string& path, kel::RestartVisitor& visitor) {
  refuseFolder(path);
  const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw Failure(kTrouble, path + ": cannot open the file");
  ScannedFile scanned;
  scanned.bytes = lengthOf(file.get());
  Progress progress(scanned.bytes);
  Watcher watcher(visitor, scanned, progress);
  scanned.scan = kel::scanRestartFile(file.get(), watcher);
  if (std::ferror(file.get())) throw Failure(kTrouble, path + ": cannot read the file");
  return scanned;
}

std::string damageReport(const std::string& path, const ScannedFile& file) {
  return path + ": damaged at offset " + std::to_string(file.scan.offset) + ": " +
         why(file.scan.damage, file.size);
}

int reportDamage(const std::string& path, const ScannedFile& file) {
  std::fflush(stdout);
  std::fprintf(stderr, "kelht: %s\n", damageReport(path, file).c_str());
  return kAnswerNo;
}

void requireLoadable(const std::string& path) {
  Ignorer ignorer;
  const ScannedFile file = scanFile(path, ignorer);
  if (file.damaged()) throw Failure(kTrouble, damageReport(path, file));
}

}  // namespace kelht
