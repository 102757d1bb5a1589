// Draw tables for the application benchmarks, written as raw dBase III
// bytes: YEAR N(9,0), DRAW N(9,0), P1..Pk N(15,0); `perYear` draws a year
// from the year 1000 on. WriteDrawTable takes numbers 1..highest from the
// runtime's generator formula with a fixed seed, distinct within a draw;
// WriteNumberTable takes the numbers of record i from `row(i)`.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace vx::bench {

inline void WriteNumberTable(const std::string& path, int draws, int numbers, int perYear,
                             const std::function<std::vector<int>(int)>& row) {
  const auto put = [](std::string& rec, std::size_t at, int width, long value) {
    const std::string text = std::to_string(value);
    rec.replace(at + static_cast<std::size_t>(width) - text.size(), text.size(), text);
  };
  const int fields = 2 + numbers;
  const int headerLength = 32 + 32 * fields + 1;
  const int recordLength = 1 + 9 + 9 + 15 * numbers;
  std::string header(static_cast<std::size_t>(headerLength), '\0');
  header[0] = 0x03;
  header[1] = 124;
  header[2] = 1;
  header[3] = 1;
  for (int i = 0; i < 4; ++i) header[4 + static_cast<std::size_t>(i)] = static_cast<char>((draws >> (8 * i)) & 0xFF);
  header[8] = static_cast<char>(headerLength & 0xFF);
  header[9] = static_cast<char>(headerLength >> 8);
  header[10] = static_cast<char>(recordLength & 0xFF);
  header[11] = static_cast<char>(recordLength >> 8);
  for (int f = 0; f < fields; ++f) {
    const std::string name = f == 0 ? "YEAR" : f == 1 ? "DRAW" : "P" + std::to_string(f - 1);
    char* d = header.data() + 32 + 32 * f;
    name.copy(d, name.size());
    d[11] = 'N';
    d[16] = static_cast<char>(f < 2 ? 9 : 15);
  }
  header[static_cast<std::size_t>(headerLength - 1)] = 0x0D;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << header;
  std::string rec;
  for (int i = 0; i < draws; ++i) {
    rec.assign(static_cast<std::size_t>(recordLength), ' ');
    put(rec, 1, 9, 1000 + i / perYear);
    put(rec, 10, 9, i % perYear + 1);
    const std::vector<int> drawn = row(i);
    for (std::size_t p = 0; p < drawn.size() && p < static_cast<std::size_t>(numbers); ++p)
      put(rec, 19 + 15 * p, 15, drawn[p]);
    out << rec;
  }
  out << '\x1a';
}

inline void WriteDrawTable(const std::string& path, int draws, int numbers, int highest, int perYear) {
  std::uint32_t seed = 12345;
  WriteNumberTable(path, draws, numbers, perYear, [&](int) {
    std::vector<int> drawn;
    while (static_cast<int>(drawn.size()) < numbers) {
      seed = seed * 134775813u + 1u;
      const int v = static_cast<int>((std::uint64_t(seed) * static_cast<std::uint32_t>(highest)) >> 32) + 1;
      if (std::find(drawn.begin(), drawn.end(), v) != drawn.end() && numbers <= highest) continue;
      drawn.push_back(v);
    }
    return drawn;
  });
}

}  // namespace vx::bench
