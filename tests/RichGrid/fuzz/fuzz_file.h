// A scratch file for the grid's fuzz entry points: the input bytes are
// written to one file per process, removed at exit. The folder is on
// /dev/shm when there is one (the grid flushes every file it writes, which
// costs nothing there), else below $VX_TEST_TMP.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vx::fuzz {

inline const std::string& ScratchFile(const char* name) {
  static const std::string path = [name] {
    const char* base = std::getenv("VX_TEST_TMP");
    std::filesystem::path root = base && *base ? base : "/tmp";
    if (std::filesystem::is_directory("/dev/shm")) root = "/dev/shm";
    const std::filesystem::path folder = root / (std::string(name) + "-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    static const std::string* kept = new std::string(folder.string());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*kept, ec);
    });
    return (folder / name).string();
  }();
  return path;
}

inline void Put(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace vx::fuzz
