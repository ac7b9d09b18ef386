#include "memoapp/memo_path.h"

std::u16string MemoFilePath(std::u16string_view programFolder) {
  return std::u16string(programFolder) + u"/memo.xml";
}
