// A disk that fills up while a registration is saved. This program stands in
// its own write() for the C library's: while a test asks for it, writes to
// files under the test's folder fail with ENOSPC, as on a full file system.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <ostrel/com/error_info.h>
#include <ostrel/com/server.h>
#include "runtime/unicode.h"
#include "tests/testserver/counter.h"

namespace {

namespace fs = std::filesystem;

std::atomic<bool> diskFull = false;
std::string fullFolder;

bool OnTheFullDisk(int fd) {
  char path[PATH_MAX];
  const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path);
  return length > 0 && std::string_view(path, static_cast<size_t>(length)).starts_with(fullFolder);
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t count) {
  static const auto next = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"));
  if (diskFull && OnTheFullDisk(fd)) {
    errno = ENOSPC;
    return -1;
  }
  return next(fd, data, count);
}

namespace {

std::string Slurp(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// A folder registry and a single file of the older form.
class DiskFull : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("disk-full-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    fullFolder = folder_.string();
    library_ = dlopen((std::string(OSTREL_BIN_DIR) + "/libcounter_server.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library_) << dlerror();
  }
  void TearDown() override {
    diskFull = false;
    if (library_) dlclose(library_);
    fs::remove_all(folder_);
  }

  // Registers the counter server into REGISTRY; the run-time error number, 0 on success.
  int Register(const fs::path& registry) {
    const auto setOptions =
        reinterpret_cast<decltype(&ComSetRegistrationOptions)>(dlsym(library_, "ComSetRegistrationOptions"));
    const auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(library_, "DllRegisterServer"));
    setOptions(registry.c_str(), "");
    const HRESULT status = registerServer();
    setOptions("", "");
    if (!Failed(status)) return 0;
    const auto error = ostrel::com::ErrorFromStatus(status);
    EXPECT_NE(error.description().find(ostrel::com::FromUtf8(folder_.string())), std::u16string::npos);
    return error.number();
  }

  fs::path folder_;
  void* library_ = nullptr;
};

TEST_P(DiskFull, SavingFailsWith61AndLeavesTheRegistryAsItWas) {
  const bool singleFile = GetParam();
  const fs::path registry = folder_ / "registry";
  if (singleFile) std::ofstream(registry) << "# an entry of someone else\n";
  ASSERT_EQ(Register(registry), 0);
  const fs::path saved = singleFile ? registry : fs::directory_iterator(registry)->path();
  const std::string before = Slurp(saved);

  diskFull = true;
  EXPECT_EQ(Register(registry), 61);
  diskFull = false;

  EXPECT_EQ(Slurp(saved), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(saved.parent_path()), {}), 1) << "a temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(FolderAndSingleFile, DiskFull, ::testing::Bool());

}  // namespace
