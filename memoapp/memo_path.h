// Where Lintrow keeps its memo file: "memo.xml" in the program's own folder.
#pragma once

#include <string>
#include <string_view>

// PROGRAM_FOLDER followed by "/memo.xml"; the folder is taken as it stands,
// with no separator added or removed.
std::u16string MemoFilePath(std::u16string_view programFolder);
