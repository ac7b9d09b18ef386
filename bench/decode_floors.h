// The floors the readers are measured against: what no reader of a CP932
// file can skip, converting every byte to UTF-16 and finding every line.
// Both count the lines and the units they produce.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace bench {

struct LineTally {
  long lines = 0;
  long units = 0;
};

// Hands FEED the file at PATH a block at a time, then an empty last block.
void ForEachBlock(const std::string& path, const std::function<void(const char*, size_t, bool)>& feed);

// iconv over each block of the file, then a scan for line ends.
LineTally DecodeWithIconv(const std::string& path);

// A table of every byte and byte pair, filled once from iconv: eight ASCII
// bytes widened per step, one look-up per double-byte character, each line
// split off at its CR LF.
LineTally DecodeWithTable(const std::string& path);

}  // namespace bench
