// A write that stops halfway, as on a full disk, through the OS layer's
// fault hook; and the names in a folder, to see that nothing was left
// behind.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/os/os_file.h"

namespace vx::test {

// While it lives, the first write into a file of `folder` moves only half
// its bytes and then fails (disk full); every other call goes ahead.
class HalfWriteFault {
 public:
  explicit HalfWriteFault(const std::string& folder) {
    SetOsFaultHook([this, folder](OsOperation op, const std::string& native, std::uint64_t,
                                  std::size_t& count) -> std::uint32_t {
      if (op == OsOperation::Write && native.rfind(folder, 0) == 0 && !hit_.exchange(true)) count /= 2;
      return 0;
    });
  }
  ~HalfWriteFault() { SetOsFaultHook({}); }
  HalfWriteFault(const HalfWriteFault&) = delete;
  HalfWriteFault& operator=(const HalfWriteFault&) = delete;

  // Whether a write has been cut short.
  bool Hit() const { return hit_; }

 private:
  std::atomic<bool> hit_{false};
};

// The names of the entries of a folder, sorted.
inline std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vx::test
