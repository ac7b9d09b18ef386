// The file slot: file number 1, the one sequential text file of the process.
//
// Every reader and writer of the library reads or writes through it, so at
// most one of their files is open at a time. Files are Shift-JIS (code page
// 932) text; lines end with CR LF. A lone LF or a lone CR also ends a line on
// reading.
//
// Failures raise a RuntimeError with the number of the file error
// (runtime_error.h): 52, 53, 55, 57, 61, 70, 75, 76; 52 also when no file is
// open, 54 when the open file is of the other direction, 62 for a read past
// the end.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/line_reader.h"

namespace ostrel::com::file_slot {

// Whether the slot holds a file: what the tests and fuzz targets check to
// see that every way out of a read or a write frees it.
bool IsOpen();

// Opens NAME for reading. Raises 55 while the slot holds a file.
void OpenForInput(std::u16string_view name);

// The same, but false where NAME names no file (it is missing, cannot name a
// file, or is a folder), and the slot stays free. One open decides, so a file
// removed between a look and the open cannot turn into an error.
bool OpenForInputIfPresent(std::u16string_view name);

// Opens NAME for writing: a missing file is created, an existing one emptied.
// Raises 55 while the slot holds a file.
void OpenForOutput(std::u16string_view name);

// Input: true when no further line is left.
bool AtEnd();

// Input: the lines of the open file, for a reader that takes a line at a
// time: there, AtEnd and ReadPiece are inline, where a call through the slot
// would cost as much as the line. Valid until Close; reading through it moves
// on the same lines as ReadLinePiece.
LineReader& InputLines();

// Input: the rest of the current line, or its next MOST units when more are
// left (line_reader.h). The view stays valid until the next read or Close.
LinePiece ReadLinePiece(size_t most);

// Output: TEXT converted to CP932, with or without a line end. A character
// CP932 cannot represent raises 5 naming it (U+XXXX), and nothing of TEXT is
// written. Bytes may be held back until Flush.
void Write(std::u16string_view text);
void WriteLine(std::u16string_view text);

// Output: hands every byte written so far to the operating system; a failure
// (61 disk full, 57 device error) raises, and what was handed over before
// stays in the file.
void Flush();

// Flushes (output) and closes; the slot is free afterwards even when this
// raises.
void Close();

}  // namespace ostrel::com::file_slot
