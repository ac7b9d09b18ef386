// Standard output of a tool, with its failures kept. Everything a tool prints
// goes through WriteOutput (std::cout too, under RunTool), so output it could
// not write (a full disk, a closed descriptor, a reader that went away) is
// reported instead of lost.
//
// After the first failed write nothing more is written, and the tool stops its
// work at its next chance: nobody would see the results. A broken pipe fails
// the write (EPIPE) instead of killing the process, so the tool can say so.
#pragma once

#include <string_view>

namespace tools {

// The exit status of a tool whose output could not be written.
constexpr int kOutputFailed = 3;

// Hands BYTES to standard output whole, unless an earlier write failed. False
// when this or an earlier write failed.
bool WriteOutput(std::string_view bytes);

// The errno of the first failed write to standard output; 0 while none failed.
int OutputError();

}  // namespace tools
