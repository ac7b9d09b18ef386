#include "runtime/file_slot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "runtime/cp932.h"
#include "runtime/file_error.h"
#include "runtime/line_reader.h"
#include <ostrel/com/runtime_error.h>
#include "runtime/unicode.h"

namespace ostrel::com::file_slot {
namespace {

constexpr int32_t kBadFileMode = 54;
constexpr int32_t kInputPastEnd = 62;

// Written text is handed to the system in chunks of about this size, so that
// writing a large file does not hold all of it in memory.
constexpr size_t kOutputChunk = 64 * 1024;

constexpr std::string_view kLineEnd = "\r\n";

enum class Mode { kClosed, kInput, kOutput };

struct Slot {
  Mode mode = Mode::kClosed;
  int fd = -1;
  std::optional<LineReader> reader;
  std::string unwritten;  // CP932 bytes not yet handed to the system
};

Slot& TheSlot() {
  static Slot slot;
  return slot;
}

// The converters live as long as the process: every file of the slot reuses
// their descriptors.
Cp932Decoder& SharedDecoder() {
  static Cp932Decoder decoder;
  return decoder;
}

Cp932Encoder& SharedEncoder() {
  static Cp932Encoder encoder;
  return encoder;
}

Slot& FreeSlot() {
  Slot& slot = TheSlot();
  if (slot.mode != Mode::kClosed) Raise(errnum::kFileAlreadyOpen);
  return slot;
}

Slot& SlotOpenFor(Mode mode) {
  Slot& slot = TheSlot();
  if (slot.mode == Mode::kClosed) Raise(errnum::kBadFileName);
  if (slot.mode != mode) Raise(kBadFileMode, u"ファイル モードが不正です。");
  return slot;
}

int OpenFile(std::u16string_view name, int flags, FileUse use) {
  const std::optional<std::string> path = ToFileName(name);
  if (!path) Raise(errnum::kBadFileName);
  const int fd = ::open(path->c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) RaiseFileError(errno, use);
  return fd;
}

// Without O_NONBLOCK, opening a FIFO that has no writer would wait for one
// before the file's kind could be checked.
constexpr int kInputFlags = O_RDONLY | O_NONBLOCK;

// The open errors that mean the name leads to no file at all.
bool NamesNoFile(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP; }

// The file type bits of FD's file; closes FD when they cannot be read.
mode_t KindOf(int fd) {
  struct stat status;
  if (::fstat(fd, &status) == 0) return status.st_mode & S_IFMT;
  const int error = errno;
  ::close(fd);
  RaiseFileError(error, FileUse::kInput);
}

// Lines only make sense in a regular file: a FIFO, a device or a folder
// would block the reader or never end. Takes FD over or closes it.
void TakeInput(Slot& slot, int fd, mode_t kind) {
  try {
    if (!S_ISREG(kind)) Raise(errnum::kPathFileAccess, u"通常のファイルではないため読み込めません。");
    slot.reader.emplace(fd, SharedDecoder());
  } catch (...) {
    ::close(fd);
    throw;
  }
  slot.fd = fd;
  slot.mode = Mode::kInput;
}

// Returns 0 or the errno of the failure. The bytes are gone either way, so a
// failed write is not repeated by the next one.
int HandOver(Slot& slot) {
  std::string_view rest = slot.unwritten;
  int error = 0;
  while (!rest.empty() && error == 0) {
    const ssize_t count = ::write(slot.fd, rest.data(), rest.size());
    if (count >= 0) {
      rest.remove_prefix(static_cast<size_t>(count));
    } else if (errno != EINTR) {
      error = errno;
    }
  }
  slot.unwritten.clear();
  return error;
}

void FlushOpenSlot(Slot& slot) {
  if (const int error = HandOver(slot)) RaiseFileError(error, FileUse::kOutput);
}

void Append(std::u16string_view text, std::string_view lineEnd) {
  Slot& slot = SlotOpenFor(Mode::kOutput);
  SharedEncoder().Encode(text, slot.unwritten);
  slot.unwritten += lineEnd;
  if (slot.unwritten.size() >= kOutputChunk) FlushOpenSlot(slot);
}

}  // namespace

bool IsOpen() { return TheSlot().mode != Mode::kClosed; }

void OpenForInput(std::u16string_view name) {
  Slot& slot = FreeSlot();
  const int fd = OpenFile(name, kInputFlags, FileUse::kInput);
  TakeInput(slot, fd, KindOf(fd));
}

bool OpenForInputIfPresent(std::u16string_view name) {
  Slot& slot = FreeSlot();
  const std::optional<std::string> path = ToFileName(name);
  if (!path) return false;
  const int fd = ::open(path->c_str(), kInputFlags | O_CLOEXEC);
  if (fd < 0) {
    if (NamesNoFile(errno)) return false;
    RaiseFileError(errno, FileUse::kInput);
  }
  const mode_t kind = KindOf(fd);
  if (S_ISDIR(kind)) {
    ::close(fd);
    return false;
  }
  TakeInput(slot, fd, kind);
  return true;
}

void OpenForOutput(std::u16string_view name) {
  Slot& slot = FreeSlot();
  SharedEncoder();  // a missing converter must not leave an emptied file behind
  // O_NONBLOCK turns a FIFO without a reader into a refusal instead of a
  // wait; writes block as usual afterwards.
  const int fd = OpenFile(name, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, FileUse::kOutput);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  slot.fd = fd;
  slot.mode = Mode::kOutput;
}

bool AtEnd() { return SlotOpenFor(Mode::kInput).reader->AtEnd(); }

LinePiece ReadLinePiece(size_t most) {
  LineReader& reader = *SlotOpenFor(Mode::kInput).reader;
  if (reader.AtEnd()) Raise(kInputPastEnd, u"ファイルの終わりを越えて読み込もうとしました。");
  return reader.ReadPiece(most);
}

LineReader& InputLines() { return *SlotOpenFor(Mode::kInput).reader; }

void Write(std::u16string_view text) { Append(text, {}); }

void WriteLine(std::u16string_view text) { Append(text, kLineEnd); }

void Flush() { FlushOpenSlot(SlotOpenFor(Mode::kOutput)); }

void Close() {
  Slot& slot = TheSlot();
  if (slot.mode == Mode::kClosed) return;
  int error = slot.mode == Mode::kOutput ? HandOver(slot) : 0;
  // Linux releases the descriptor even when close reports EINTR.
  if (::close(slot.fd) != 0 && errno != EINTR && error == 0) error = errno;
  slot.reader.reset();
  slot.fd = -1;
  slot.mode = Mode::kClosed;
  if (error != 0) RaiseFileError(error, FileUse::kOutput);
}

}  // namespace ostrel::com::file_slot
