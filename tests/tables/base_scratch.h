// A fresh, empty folder per test under $VX_TEST_TMP (or /tmp), removed at the
// end of the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vx::test {

class BaseScratch {
public:
    BaseScratch() {
        const char* base = std::getenv("VX_TEST_TMP");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "tables-base-";
        if (info) name += std::string(info->test_suite_name()) + "." + info->name();
        name += "-" + std::to_string(::getpid());
        path_ = std::filesystem::path(base && *base ? base : "/tmp") / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~BaseScratch() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Path() const { return path_.string(); }
    std::string operator/(const std::string& leaf) const { return (path_ / leaf).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vx::test
