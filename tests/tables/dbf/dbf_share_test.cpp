// Two processes appending to one shared table at the same time: the header
// lock keeps them from writing the same record number.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "tests/tables/dbf/dbf_testing.h"

using namespace vx::test;

namespace {

constexpr int kPerProcess = 1000;

// Runs in a child: appends kPerProcess records tagged with writer; the exit
// code says how it went.
[[noreturn]] void AppendAsChild(const std::string& path, int writer) {
  int code = 0;
  try {
    LockWaitTime = 20000;
    LockRetryInterval = 1;
    XBO_dBaseFld t(path, true, true, "");
    for (int i = 1; i <= kPerProcess; ++i) {
      t.BlankRecord();
      t.PutNumber(1, writer);
      t.PutNumber(2, i);
      t.AppendRecord();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "writer %d: %s\n", writer, e.what());
    code = 1;
  }
  _exit(code);
}

}  // namespace

TEST(DbfShare, TwoProcessesAppendWithoutLosingRecords) {
  DbfScratch dir;
  const std::string path = dir / "shared.dbf";
  BuildDrawTable(path);
  pid_t children[2];
  for (int w = 0; w < 2; ++w) {
    children[w] = fork();
    ASSERT_GE(children[w], 0);
    if (children[w] == 0) AppendAsChild(path, w + 1);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  XBO_dBaseFld t(path, false, false, "");
  ASSERT_EQ(t.RecordCount, 2 * kPerProcess);
  std::set<std::pair<int, int>> seen;
  for (int r = 1; r <= t.RecordCount; ++r) {
    t.ReadRecord(r);
    seen.insert({int(t.GetNumber(1)), int(t.GetNumber(2))});
  }
  EXPECT_EQ(seen.size(), std::size_t(2 * kPerProcess));
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(LE32At(bytes, 4), std::uint32_t(2 * kPerProcess));
  EXPECT_EQ(bytes.back(), '\x1A');

  if (std::filesystem::exists("/usr/bin/python3")) {
    const std::string cmd =
        "/usr/bin/python3 '" + std::string(VX_SOURCE_DIR) + "/tests/tables/dbf/dbf_peers.py' count '" + path + "'";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    ASSERT_TRUE(got);
    EXPECT_EQ(std::string(line), std::to_string(2 * kPerProcess) + " 0\n");
  }
}
