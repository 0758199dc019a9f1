#include "module/restartChecks.h"

#include "module/currentTable.h"
#include "persist/restartFile.h"

namespace kel {

namespace {

constexpr bool numbered(RestartStatus status, int code) { return static_cast<int>(status) == code; }
constexpr bool numbered(RestartDamage damage, int code) { return static_cast<int>(damage) == code; }
static_assert(numbered(RestartStatus::sound, KELHASHTABLEFUN_FILE_SOUND) &&
                  numbered(RestartStatus::notOpened, KELHASHTABLEFUN_FILE_NOT_OPENED) &&
                  numbered(RestartStatus::damaged, KELHASHTABLEFUN_FILE_DAMAGED) &&
                  numbered(RestartStatus::inconsistent, KELHASHTABLEFUN_FILE_INCONSISTENT),
              "statuses are numbered as the header numbers them");
static_assert(numbered(RestartDamage::kNone, KELHASHTABLEFUN_DAMAGE_NONE) &&
                  numbered(RestartDamage::kEndsInSize, KELHASHTABLEFUN_DAMAGE_ENDS_IN_SIZE) &&
                  numbered(RestartDamage::kEndsInCounter, KELHASHTABLEFUN_DAMAGE_ENDS_IN_COUNTER) &&
                  numbered(RestartDamage::kEndsInBucket, KELHASHTABLEFUN_DAMAGE_ENDS_IN_BUCKET) &&
                  numbered(RestartDamage::kEndsInChainLength,
                           KELHASHTABLEFUN_DAMAGE_ENDS_IN_CHAIN_LENGTH) &&
                  numbered(RestartDamage::kEndsInContent, KELHASHTABLEFUN_DAMAGE_ENDS_IN_CONTENT) &&
                  numbered(RestartDamage::kEndsInIsLong, KELHASHTABLEFUN_DAMAGE_ENDS_IN_IS_LONG) &&
                  numbered(RestartDamage::kEndsInLongKey, KELHASHTABLEFUN_DAMAGE_ENDS_IN_LONG_KEY) &&
                  numbered(RestartDamage::kSizeBelowOne, KELHASHTABLEFUN_DAMAGE_SIZE_BELOW_ONE) &&
                  numbered(RestartDamage::kBucketOutOfRange,
                           KELHASHTABLEFUN_DAMAGE_BUCKET_OUT_OF_RANGE) &&
                  numbered(RestartDamage::kBadIsLong, KELHASHTABLEFUN_DAMAGE_BAD_IS_LONG) &&
                  numbered(RestartDamage::kStringTooLong, KELHASHTABLEFUN_DAMAGE_STRING_TOO_LONG) &&
                  numbered(RestartDamage::kStringUnterminated,
                           KELHASHTABLEFUN_DAMAGE_STRING_UNTERMINATED),
              "damages are numbered as the header numbers them");

// The detail's fields are 32 bits wide on every target.
int32_t upToInt32Max(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

int32_t report(const RestartCheck& check, KelHashTableFunFileCheck* detail) {
  const auto status = static_cast<int32_t>(check.status);
  if (detail == nullptr) return status;
  detail->status = status;
  detail->damage = static_cast<int32_t>(check.scan.damage);
  detail->offset = upToInt32Max(check.scan.offset);
  detail->buckets = check.size;
  detail->counter = check.counter;
  detail->entries = upToInt32Max(check.entries);
  detail->misplaced = upToInt32Max(check.misplaced);
  detail->trailing = check.scan.trailing ? 1 : 0;
  return status;
}

}  // namespace

int32_t statusOfRestartFile(const char* path, KelHashTableFunFileCheck* detail) {
  return report(checkRestartFileAt(path), detail);
}

int32_t buildFromSoundRestartFile(const char* path, KelHashTableFunFileCheck* detail) {
  RestartCheck check;
  if (HashTable* table = loadSoundRestartFile(path, &check, closeCurrentTable)) adoptTable(table);
  return report(check, detail);
}

}  // namespace kel
