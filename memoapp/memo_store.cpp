#include "memoapp/memo_store.h"

#include <array>
#include <memory>

#include <ostrel/com/runtime_error.h>

namespace ModuleMemoData {

namespace {

constexpr int kLastSlot = 9;
constexpr int16_t kCapacity = kLastSlot;

using Table = std::array<std::unique_ptr<CMemoData>, kLastSlot + 1>;

// Null until InitMemoData: an unprepared store answers every use with the
// error for an index out of range, as an unallocated table would.
std::unique_ptr<Table> table;

}  // namespace

int16_t memoCount = 0;

void InitMemoData() {
  auto fresh = std::make_unique<Table>();
  for (int n = 1; n <= kLastSlot; ++n) (*fresh)[n] = std::make_unique<CMemoData>();
  table = std::move(fresh);
  memoCount = 0;
}

void AddMemoData(const std::u16string& title, const std::u16string& sentence) {
  if (memoCount >= kCapacity) return;
  // The count goes up first, so the memo filled is the one it now names.
  ++memoCount;
  CMemoData* memo = memoData(memoCount);
  memo->title = title;
  memo->sentence = sentence;
}

CMemoData* memoData(int n) {
  if (!table || n < 0 || n > kLastSlot) ostrel::com::Raise(ostrel::com::errnum::kSubscriptOutOfRange);
  return (*table)[n].get();
}

}  // namespace ModuleMemoData
