// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer then keeps the input), a scratch file of the process's own on a
// memory-backed folder, and message boxes that go nowhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <ostrel/com/com.h>

namespace ostrel_fuzz {

// Aborts, naming WHAT, when CONDITION does not hold.
void Require(bool condition, std::string_view what);

// A path no other process uses; /dev/shm when it exists, so files cost no disk.
std::string ScratchPath(std::string_view name);
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// Message boxes would print on every input; the targets check results instead.
void SilenceMessageBoxes();

// The run-time error number STATUS carries; 0 for success.
int32_t ErrorNumber(HRESULT status);

// Errors a read of an existing file may fail with: overflow, a repeated
// attribute name and the file errors. Anything else is a fault of ours.
bool IsReadError(int32_t number);

}  // namespace ostrel_fuzz
