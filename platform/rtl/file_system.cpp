#include "platform/rtl/file_system.h"

#include <atomic>
#include <stdexcept>

namespace vx {
namespace {
std::atomic<RuntimeFileSystem*> installed{nullptr};
}  // namespace

RuntimeFileSystem& RuntimeFiles() {
  RuntimeFileSystem* files = installed.load(std::memory_order_acquire);
  if (!files) throw std::logic_error("no file system installed");
  return *files;
}

void SetRuntimeFiles(RuntimeFileSystem* files) { installed.store(files, std::memory_order_release); }

}  // namespace vx
