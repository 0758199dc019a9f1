#include "persist/restartCheck.h"

#include <algorithm>
#include <cstdlib>

#include "core/hashing.h"
#include "core/memory.h"

namespace kel {

namespace {

// Follows the records as the loader places them: each chain read whole is
// noted with its bucket, and the last one noted for a bucket is the one the
// loaded table holds.
class Account final : public RestartVisitor {
 public:
  Account() = default;
  ~Account() { std::free(chains_); }
  Account(const Account&) = delete;
  Account& operator=(const Account&) = delete;

  void header(int32_t size, int32_t counter) override {
    size_ = size;
    counter_ = counter;
  }
  void chain(const RestartChain& chain) override {
    current_ = {chain.bucket, static_cast<int32_t>(chain.entries)};  // at most INT32_MAX
  }
  void entry(const RestartEntry& e) override {
    const double fraction =
        e.isLong ? longFraction(e.longKey) : stringFraction(e.stringKey, e.keyLength);
    if (bucketOf(fraction, size_) != current_.bucket) ++misplaced_;
  }
  void chainEnd() override {
    if (count_ > 0 && current_.bucket <= chains_[count_ - 1].bucket) ascending_ = false;
    if (count_ == room_) grow();
    chains_[count_++] = current_;
  }

  RestartCheck check(const RestartScan& scan) {
    RestartCheck result{RestartStatus::damaged, scan, size_, counter_, keptEntries(), misplaced_};
    if (scan.damage == RestartDamage::kNone)
      result.status = result.entries == counter_ ? RestartStatus::sound : RestartStatus::inconsistent;
    return result;
  }

 private:
  struct Chain {
    int32_t bucket;
    int32_t entries;
  };

  void grow() {
    if (room_ > SIZE_MAX / sizeof(Chain) / 2) outOfMemory();
    room_ = room_ == 0 ? 1024 : room_ * 2;
    chains_ = static_cast<Chain*>(reallocateOrDie(chains_, room_ * sizeof(Chain)));
  }

  // Chains in ascending bucket order, all a dump writes, never repeat a
  // bucket; others are put in bucket order first, each bucket's chains
  // staying in file order.
  int64_t keptEntries() {
    if (!ascending_)
      std::stable_sort(chains_, chains_ + count_,
                       [](const Chain& a, const Chain& b) { return a.bucket < b.bucket; });
    int64_t kept = 0;
    for (std::size_t i = 0; i < count_; ++i)
      if (i + 1 == count_ || chains_[i + 1].bucket != chains_[i].bucket) kept += chains_[i].entries;
    return kept;
  }

  int32_t size_ = 0;
  int32_t counter_ = 0;
  int64_t misplaced_ = 0;
  Chain current_{};
  Chain* chains_ = nullptr;
  std::size_t count_ = 0;
  std::size_t room_ = 0;
  bool ascending_ = true;
};

}  // namespace

RestartCheck notOpenedCheck() {
  return {RestartStatus::notOpened, {RestartDamage::kNone, 0, false}, 0, 0, 0, 0};
}

RestartCheck checkRestartFile(std::FILE* file) {
  Account account;
  return account.check(scanRestartFile(file, account));
}

RestartCheck checkRestartImage(const unsigned char* bytes, std::size_t length) {
  Account account;
  return account.check(scanRestartImage(bytes, length, account));
}

}  // namespace kel
