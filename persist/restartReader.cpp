#include "persist/restartReader.h"

#include <memory>
#include <new>

#include "core/memory.h"
#include "persist/restartScanner.h"

namespace kel {

namespace {

// Builds the table from the scanned records: each chain is linked as stored
// and placed at its bucket when complete. A chain cut short by damage stays
// in the table's pool, which releases it with the table.
class TableBuilder final : public RestartVisitor {
 public:
  void header(int32_t size, int32_t counter) override {
    auto* created = new (std::nothrow) HashTable(size, counter);
    if (created == nullptr) outOfMemory();
    table_.reset(created);
  }
  void chain(const RestartChain& chain) override {
    bucket_ = chain.bucket;
    head_ = nullptr;
    tail_ = &head_;
  }
  void entry(const RestartEntry& e) override {
    Entry* entry = e.isLong ? table_->makeLongEntry(e.longKey, e.content)
                            : table_->makeStringEntry(e.stringKey, e.keyLength, e.content);
    *tail_ = entry;
    tail_ = &entry->next;
  }
  // A bucket stored twice keeps its later chain.
  void chainEnd() override { table_->placeChain(bucket_, head_); }

  RestartImage image(const RestartScan& scan) {
    if (scan.damage != RestartDamage::kNone) return {nullptr, scan.offset};
    return {table_.release(), -1};
  }

 private:
  std::unique_ptr<HashTable> table_;
  int32_t bucket_ = 0;
  Entry* head_ = nullptr;
  Entry** tail_ = &head_;
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
