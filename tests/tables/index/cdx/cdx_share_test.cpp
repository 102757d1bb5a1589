// Two processes updating one compound index under the index lock: no update
// is lost, every page stays consistent, and the Perl listing equals a fresh
// bulk build. A lock held elsewhere makes Lock() give up with false.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "tables/base/xb_settings.h"
#include "tables/index/cdx/cdx_index.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

using vx::test::IndexTestTable;

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("cdx_share", sub); }

std::string Listing(const std::string& cdx) {
  return vx::test::RunTool("/usr/bin/index_dump --type=num " + cdx + " INDEX 2>&1");
}

constexpr int kRecords = 1200;

IndexTestTable FullTable(const std::string& dir) {
  IndexTestTable table;
  table.folder = dir;
  for (int i = 1; i <= kRecords; ++i) {
    table.Append({{"YEAR", IndexTestTable::Num(2000 + (i * 7919) % 37)}, {"DRAW", IndexTestTable::Num(i % 101)}});
  }
  return table;
}

// Child process: adds the keys of every record with the given parity.
int AddHalf(const std::string& dir, int parity) {
  try {
    IndexTestTable table = FullTable(dir);
    XBobjCDXFile file(&table);
    if (!file.Create("SHARED", false, false, true, true)) return 2;
    for (int rec = 1 + parity; rec <= kRecords; rec += 2) {
      if (!file.Lock()) return 3;
      table.Go(rec);
      file.KeyUpdateAll(rec, true);
      file.Unlock();
    }
    return 0;
  } catch (...) { return 4; }
}

TEST(CdxShare, TwoProcessesAddKeysWithoutLosingAny) {
  const std::string dir = TestDir("two");
  {
    IndexTestTable empty;
    empty.folder = dir;
    XBobjCDXFile file(&empty);
    ASSERT_TRUE(file.Create("SHARED", true, true, false, true));
    file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", false, true});
  }
  pid_t children[2];
  for (int parity = 0; parity < 2; ++parity) {
    children[parity] = fork();
    ASSERT_GE(children[parity], 0);
    if (children[parity] == 0) _exit(AddHalf(dir, parity));
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  IndexTestTable table = FullTable(dir);
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("SHARED", false, false, false, false));
    ASSERT_EQ(file.TagCount(), 1);
    const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*file.TagByNumber(0));
    EXPECT_TRUE(res.faults.empty()) << res.faults.front();
    EXPECT_EQ(res.entries.size(), static_cast<size_t>(kRecords));
    EXPECT_EQ(file.Directory()->Version(), static_cast<uint32_t>(kRecords));
  }
  {
    XBobjCDXFile fresh(&table);
    ASSERT_TRUE(fresh.Create("FRESH", true, true, false, true));
    fresh.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", false, true});
  }
  ASSERT_TRUE(std::filesystem::exists("/usr/bin/index_dump")) << "index_dump missing (scripts/setup.sh installs it)";
  const std::string fresh = Listing(dir + "/FRESH.CDX");
  EXPECT_EQ(std::count(fresh.begin(), fresh.end(), '\n'), kRecords);
  EXPECT_EQ(Listing(dir + "/SHARED.CDX"), fresh);
}

TEST(CdxShare, LockGivesUpWithFalseWhileAnotherProcessHoldsIt) {
  const std::string dir = TestDir("lock");
  IndexTestTable table;
  table.folder = dir;
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("LOCKED", true, true, false, true));
  }
  XBobjCDXFile holder(&table);
  ASSERT_TRUE(holder.Create("LOCKED", false, false, true, true));
  ASSERT_TRUE(holder.Lock());
  EXPECT_FALSE(holder.ChangedByOthers());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    LockWaitTime = 200;
    LockRetryInterval = 20;
    XBobjCDXFile other(&table);
    if (!other.Create("LOCKED", false, false, true, true)) _exit(2);
    _exit(other.Lock() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  holder.Unlock();
}

}  // namespace
