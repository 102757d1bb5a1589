// Scratch folders and whole-file helpers shared by the tests. Folders live
// under $VX_TEST_TMP (or /tmp when it is unset or empty); paths are plain
// native paths without a trailing "/".
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vx::test {

inline std::filesystem::path TestTmpRoot() {
  const char* base = std::getenv("VX_TEST_TMP");
  return std::filesystem::path(base && *base ? base : "/tmp");
}

// A fresh, empty folder for the running test, named after the area prefix,
// the test and the process; removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = prefix;
    if (info) name += std::string(info->test_suite_name()) + "." + info->name();
    name += "-" + std::to_string(::getpid());
    path_ = TestTmpRoot() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path() const { return path_.string(); }
  std::string operator/(const std::string& leaf) const { return (path_ / leaf).string(); }

 private:
  std::filesystem::path path_;
};

// The folder <area>/<sub> (or <area> when sub is empty) under the scratch
// root, emptied and created; it is left in place after the test so its files
// can be looked at.
inline std::string NamedTestFolder(const std::string& area, const std::string& sub = "") {
  const std::filesystem::path dir = sub.empty() ? TestTmpRoot() / area : TestTmpRoot() / area / sub;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

// Runs with `folder` as the current folder while it lives.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(previous_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vx::test
