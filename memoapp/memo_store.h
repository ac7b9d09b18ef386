// The memo table: at most nine memos, each a title and a body text.
//
// Memo n (1..9) lives in slot n of memoData; slot 0 exists but stays null.
// InitMemoData must run before anything else touches the table: it puts nine
// distinct, empty memos into slots 1..9 that stay there for the rest of the
// run. AddMemoData fills the next of them and silently drops a tenth memo and
// every one after it. Nothing removes, replaces or reorders a memo.
#pragma once

#include <cstdint>
#include <string>

// One memo. Plain value members: assigning stores a copy, reading gives one.
struct CMemoData {
  std::u16string title;
  std::u16string sentence;
};

namespace ModuleMemoData {

// The number of memos held, 0..9; they occupy slots 1..memoCount.
extern int16_t memoCount;

// Discards any earlier table and starts again with nine empty memos.
void InitMemoData();

// Copies TITLE and SENTENCE into the next free memo; ignored once nine are
// held. Raises run-time error 9 before InitMemoData.
void AddMemoData(const std::u16string& title, const std::u16string& sentence);

// Slot n (0..9) of the memo table; slot 0 is always null. Raises run-time
// error 9 when the table is unallocated (before InitMemoData) or n is outside
// 0..9.
CMemoData* memoData(int n);

}  // namespace ModuleMemoData
