// A fresh scratch folder per test under VX_TEST_TMP, and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_folder.h"

namespace rtltest {

// The folder rtl/<suite>.<test>, emptied; the returned name ends with "/".
inline std::string ScratchDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return vx::test::NamedTestFolder("rtl", std::string(info->test_suite_name()) + "." + info->name()) + "/";
}

inline std::string ReadAll(const std::string& path) { return vx::test::ReadWholeFile(path); }
inline void WriteAll(const std::string& path, const std::string& bytes) { vx::test::WriteWholeFile(path, bytes); }

}  // namespace rtltest
