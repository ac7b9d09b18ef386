#include "bench/decode_floors.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr char16_t kReplacement = 0xFFFD;

struct PairTable {
  std::array<char16_t, 256> single{};
  std::array<bool, 256> lead{};
  std::vector<char16_t> pairs = std::vector<char16_t>(256 * 256);  // 0: no character
};

// The unit iconv makes of BYTES, or 0; INCOMPLETE tells a lead byte.
char16_t Convert(iconv_t descriptor, const char* bytes, size_t size, bool& incomplete) {
  char* in = const_cast<char*>(bytes);
  char16_t unit = 0;
  char* out = reinterpret_cast<char*>(&unit);
  size_t inLeft = size, outLeft = sizeof unit;
  const bool failed = iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1);
  incomplete = failed && errno == EINVAL;
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  return failed || outLeft != 0 ? 0 : unit;
}

PairTable FillTable() {
  const iconv_t descriptor = iconv_open("UTF-16LE", "CP932");
  if (descriptor == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  PairTable table;
  for (int first = 0; first < 256; ++first) {
    const char byte = static_cast<char>(first);
    bool incomplete = false;
    const char16_t unit = Convert(descriptor, &byte, 1, incomplete);
    table.single[first] = unit != 0 || first == 0 ? unit : kReplacement;
    table.lead[first] = incomplete;
    for (int second = 0; incomplete && second < 256; ++second) {
      const char pair[2] = {byte, static_cast<char>(second)};
      bool unused = false;
      table.pairs[first << 8 | second] = Convert(descriptor, pair, 2, unused);
    }
  }
  iconv_close(descriptor);
  return table;
}

const PairTable& Table() {
  static const PairTable table = FillTable();
  return table;
}

// Decodes IN into OUT and returns the units written; USED receives the bytes
// taken, short of a lead byte that ends IN.
size_t DecodeBlock(const PairTable& table, const unsigned char* in, size_t size, char16_t* out, size_t& used) {
  size_t i = 0, written = 0;
  while (i < size) {
    uint64_t word;
    if (i + sizeof word <= size && (std::memcpy(&word, in + i, sizeof word), (word & 0x8080808080808080) == 0)) {
      for (size_t k = 0; k < sizeof word; ++k) out[written + k] = in[i + k];
      i += sizeof word;
      written += sizeof word;
      continue;
    }
    const unsigned char first = in[i];
    if (!table.lead[first]) {
      out[written++] = first < 0x80 ? first : table.single[first];
      ++i;
    } else if (i + 1 < size) {
      const char16_t unit = table.pairs[first << 8 | in[i + 1]];
      out[written++] = unit != 0 ? unit : kReplacement;
      i += unit != 0 ? 2 : 1;
    } else {
      break;
    }
  }
  used = i;
  return written;
}

// The lines that end in TEXT at a CR LF.
long SplitLines(const char16_t* text, size_t size) {
  long lines = 0;
  const char16_t* end = text + size;
  for (const char16_t* at = text; (at = std::find(at, end, u'\r')) != end; ++at) {
    lines += at + 1 != end && at[1] == u'\n';
  }
  return lines;
}

}  // namespace

void ForEachBlock(const std::string& path, const std::function<void(const char*, size_t, bool)>& feed) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  std::vector<char> block(kBlock);
  for (ssize_t count; (count = ::read(fd, block.data(), block.size())) > 0;) feed(block.data(), count, false);
  feed(block.data(), 0, true);
  ::close(fd);
}

LineTally DecodeWithIconv(const std::string& path) {
  LineTally tally;
  iconv_t descriptor = iconv_open("UTF-16LE", "CP932");
  std::vector<char16_t> text(kBlock + 1);
  std::string pending;
  ForEachBlock(path, [&](const char* bytes, size_t size, bool) {
    pending.append(bytes, size);
    char* in = pending.data();
    size_t inLeft = pending.size();
    char* out = reinterpret_cast<char*>(text.data());
    size_t outLeft = text.size() * sizeof(char16_t);
    iconv(descriptor, &in, &inLeft, &out, &outLeft);
    const size_t units = (text.size() * sizeof(char16_t) - outLeft) / sizeof(char16_t);
    for (size_t i = 0; i < units; ++i) tally.lines += text[i] == u'\n';
    tally.units += static_cast<long>(units);
    pending.erase(0, pending.size() - inLeft);
  });
  iconv_close(descriptor);
  return tally;
}

LineTally DecodeWithTable(const std::string& path) {
  const PairTable& table = Table();
  LineTally tally;
  std::vector<char16_t> text(kBlock + 1);
  unsigned char lead[2];
  bool carried = false;  // lead[0] is a lead byte left from the block before
  ForEachBlock(path, [&](const char* block, size_t size, bool) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(block);
    size_t start = 0, units = 0, used = 0;
    if (carried && size > 0) {
      lead[1] = bytes[0];
      units = DecodeBlock(table, lead, 2, text.data(), used);
      start = used - 1;
    }
    units += DecodeBlock(table, bytes + start, size - start, text.data() + units, used);
    tally.lines += SplitLines(text.data(), units);
    tally.units += static_cast<long>(units);
    carried = start + used < size;
    if (carried) lead[0] = bytes[start + used];
  });
  return tally;
}

}  // namespace bench
