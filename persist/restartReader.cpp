#include "persist/restartReader.h"

#include <memory>
#include <new>

#include "core/memory.h"
#include "persist/restartScanner.h"

namespace kel {

namespace {

// Builds the table from the scanned records: each chain is linked as stored
// and placed at its bucket when complete; then the string keys are hashed.
// A chain cut short by damage is released.
class TableBuilder final : public RestartVisitor {
 public:
  void header(int32_t size, int32_t counter) override {
    auto* created = new (std::nothrow) HashTable(size, counter);
    if (created == nullptr) outOfMemory();
    table_.reset(created);
  }
  void chain(const RestartChain& chain) override {
    bucket_ = chain.bucket;
    head_ = tail_ = kNoEntry;
  }
  void entry(const RestartEntry& e) override {
    const EntryRef entry = e.isLong ? table_->makeLongEntry(e.longKey, e.content)
                                    : table_->makeStringEntry(e.stringKey, e.keyLength, e.content);
    if (tail_ == kNoEntry) head_ = entry;
    else table_->setNext(tail_, entry);
    tail_ = entry;
  }
  // A bucket stored twice keeps its later chain.
  void chainEnd() override {
    table_->placeChain(bucket_, head_);
    head_ = tail_ = kNoEntry;
  }

  RestartImage image(const RestartScan& scan) {
    if (scan.damage != RestartDamage::kNone) {
      if (table_ != nullptr) table_->discardChain(head_);
      return {nullptr, scan.offset, scan.damage};
    }
    table_->finishRestoring();
    return {table_.release(), -1, RestartDamage::kNone};
  }

 private:
  std::unique_ptr<HashTable> table_;
  int32_t bucket_ = 0;
  EntryRef head_ = kNoEntry;
  EntryRef tail_ = kNoEntry;
};

}  // namespace

RestartImage readRestartFile(std::FILE* file) {
  TableBuilder builder;
  return builder.image(scanRestartFile(file, builder));
}

RestartImage readRestartImage(const unsigned char* bytes, std::size_t length) {
  TableBuilder builder;
  return builder.image(scanRestartImage(bytes, length, builder));
}

}  // namespace kel
