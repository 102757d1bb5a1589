// A program that leaks one block on purpose. The sanitizer build runs it
// as the test "leak_detection_on", which passes only when the leak is
// reported: the test command once turned leak detection off for the whole
// suite, and leaks went unseen.
#include <cstdlib>

void* volatile gLost = nullptr;

int main() {
  gLost = std::malloc(64);
  gLost = nullptr;
  return 0;
}
