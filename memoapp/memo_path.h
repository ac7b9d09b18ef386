// Where Lintrow keeps its memo file: "memo.xml" in the program's own folder.
#pragma once

#include <string>
#include <string_view>

// PROGRAM_FOLDER followed by "/memo.xml"; the folder is taken as it stands,
// with no separator added or removed.
std::u16string MemoFilePath(std::u16string_view programFolder);

// The folder of PROGRAM, the bytes of a file name: everything before its last
// "/", as a text that gives back exactly those bytes when it names a file.
std::u16string FolderOf(std::string_view program);

// The folder of the running program, from /proc/self/exe; empty when the
// system does not tell.
std::u16string RunningProgramFolder();
