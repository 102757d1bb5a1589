// The page cache of index files: lookups against a model through long runs
// of keeps and drops (probe sequences closing over dropped pages), and the
// memory bound letting the least recently used pages go.
#include "tables/index/index_page_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// A decoded page whose single key names the page it was made for.
std::shared_ptr<const XBIndexPage> PageFor(int64_t page, size_t keyLength = 8) {
  XBobjIndexKey node;
  node.keys.emplace_back(std::string(keyLength, 'k'), static_cast<int32_t>(page), static_cast<int32_t>(page));
  return std::make_shared<const XBIndexPage>(node);
}

TEST(IndexPageCache, FindsWhatWasKeptAndNotWhatWasDropped) {
  vx::IndexPageCache cache(size_t(1) << 30);
  std::map<int64_t, int32_t> model;
  std::mt19937 rng(5);
  for (int step = 0; step < 20000; ++step) {
    // Page numbers as formats use them: byte offsets and block numbers.
    const int64_t page = (rng() % 2 ? 512 : 1) * int64_t(rng() % 700);
    if (rng() % 3 == 0) {
      cache.Drop(page);
      model.erase(page);
    } else {
      cache.Keep(page, PageFor(page));
      model[page] = static_cast<int32_t>(page);
    }
    const int64_t probe = (rng() % 2 ? 512 : 1) * int64_t(rng() % 700);
    const auto found = cache.Find(probe);
    ASSERT_EQ(found != nullptr, model.count(probe) == 1) << "step " << step << " page " << probe;
    if (found) ASSERT_EQ(found->At(0).link, static_cast<int32_t>(probe));
  }
  ASSERT_EQ(cache.Pages(), model.size());
  for (const auto& [page, link] : model) {
    const auto found = cache.Find(page);
    ASSERT_TRUE(found) << page;
    EXPECT_EQ(found->At(0).link, link);
  }
  cache.Clear();
  EXPECT_EQ(cache.Pages(), 0u);
  EXPECT_EQ(cache.Bytes(), 0u);
  EXPECT_FALSE(cache.Find(0));
}

TEST(IndexPageCache, MemoryBoundLetsTheLeastRecentlyUsedGo) {
  const size_t one = PageFor(0)->Bytes();
  vx::IndexPageCache cache(one * 8);
  for (int64_t p = 0; p < 8; ++p) cache.Keep(p, PageFor(p));
  EXPECT_EQ(cache.Pages(), 8u);
  // Pages 0 and 1 are used again; the next page passes the bound and the
  // least recently used ones leave until a quarter of the bound is free.
  ASSERT_TRUE(cache.Find(0));
  ASSERT_TRUE(cache.Find(1));
  cache.Keep(8, PageFor(8));
  EXPECT_LE(cache.Bytes(), one * 6);
  for (int64_t p : {0, 1, 8}) EXPECT_TRUE(cache.Find(p)) << p;
  for (int64_t p : {2, 3, 4}) EXPECT_FALSE(cache.Find(p)) << p;
  // A page larger than the whole bound is not kept; a smaller bound trims.
  cache.Keep(9, PageFor(9, one * 8));
  EXPECT_FALSE(cache.Find(9));
  cache.SetLimit(one * 2);
  EXPECT_LE(cache.Bytes(), one * 2);
  EXPECT_TRUE(cache.Find(8));
  vx::IndexPageCache none(0);
  none.Keep(1, PageFor(1));
  EXPECT_EQ(none.Pages(), 0u);
}

// The compact form keeps every entry's bytes, link and record.
TEST(IndexPageCache, CompactPagesKeepKeysOfEveryLength) {
  XBobjIndexKey node;
  node.leaf = false;
  node.left = 1024;
  node.right = -1;
  const std::string texts[] = {"", "a", std::string("\0\1", 2), std::string(240, '\xFF'), "mid"};
  int32_t n = 0;
  for (const std::string& t : texts) {
    ++n;
    node.keys.emplace_back(t, n, -n);
  }
  const XBIndexPage page(node);
  ASSERT_EQ(page.Count(), 5);
  EXPECT_FALSE(page.Leaf());
  EXPECT_EQ(page.Left(), 1024);
  for (int i = 0; i < page.Count(); ++i) {
    EXPECT_EQ(std::string(page.Key(i)), texts[i]) << i;
    EXPECT_EQ(page.At(i).link, i + 1);
    EXPECT_EQ(page.At(i).record, -(i + 1));
  }
  // A node reading through the page, then taking its own copy.
  XBobjIndexKey reader;
  reader.Share(4096, std::make_shared<const XBIndexPage>(node));
  EXPECT_EQ(reader.Count(), 5);
  EXPECT_EQ(reader.page, 4096);
  reader.Materialize();
  ASSERT_EQ(reader.keys.size(), 5u);
  EXPECT_EQ(reader.keys[3].value, texts[3]);
}

}  // namespace
