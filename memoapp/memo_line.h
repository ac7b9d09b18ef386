// One memo as a line of the memo file, and what that line cannot carry.
//
// A memo is written as
//     <sentence Title="title">body</sentence>
// with the body's "<", ">" and quotation marks as "&lt;", "&gt;" and
// "&quot;", which the reader decodes again. A memo with an empty body is
// written <sentence Title="title"/>, since the reader reports no text at all
// for a start tag directly followed by its end tag, and the memo would be lost.
//
// The format has no way to write some texts so that the reader gives them back
// unchanged; WhyNotCarried names the first such fault of a memo.
#pragma once

#include <string>
#include <string_view>

#include "memoapp/memo_store.h"

namespace memoapp {

std::u16string MemoLine(const CMemoData& memo);

// Empty when MEMO comes back from its line exactly as it is; otherwise a short
// Japanese text saying what in it would change.
std::u16string_view WhyNotCarried(const CMemoData& memo);

}  // namespace memoapp
