// Helpers of the table-handler tests: draw tables filled through the
// handler, walks collected as record lists, another process, an index file
// of each format, and the peer tools.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tables/handler/xbo_dbhandler.h"
#include "tests/tables/dbf/dbf_testing.h"

namespace vx::test {

// P1..P6 of a draw are derived from YEAR and DRAW, so that a record read
// half-written or mixed up shows.
inline int DrawNumber(int year, int draw, int position) { return (year * 7 + draw * 13 + position * 5) % 49 + 1; }

inline void PutDraw(XBO_dBHandler& h, int year, int draw) {
  h.BlankRecord();
  h.PutNumberByName("YEAR", year);
  h.PutNumberByName("DRAW", draw);
  for (int p = 1; p <= 6; ++p) h.PutNumberByName("P" + std::to_string(p), DrawNumber(year, draw, p));
}

// True when the current record is a consistent draw.
inline bool DrawIsWhole(XBO_dBHandler& h) {
  const int year = int(h.GetNumberByName("YEAR"));
  const int draw = int(h.GetNumberByName("DRAW"));
  for (int p = 1; p <= 6; ++p)
    if (int(h.GetNumberByName("P" + std::to_string(p))) != DrawNumber(year, draw, p)) return false;
  return true;
}

// The draw of the current record: (YEAR, DRAW).
inline std::pair<int, int> DrawKey(XBO_dBHandler& h) {
  return {int(h.GetNumberByName("YEAR")), int(h.GetNumberByName("DRAW"))};
}

inline void CreateDraws(const std::string& path, const std::vector<std::pair<int, int>>& rows) {
  BuildDrawTable(path);
  XBO_dBHandler h(path, false, true, "");
  for (const auto& [year, draw] : rows) {
    PutDraw(h, year, draw);
    h.AppendRecord();
  }
}

// Record numbers of a walk from top to end (forward) or bottom to start.
inline std::vector<int> Walk(XBO_dBHandler& h, bool forward = true) {
  std::vector<int> out;
  h.GetRec(forward ? xbTop : xbBottom);
  while (!h.EOFFlag && !h.BOFFlag) {
    out.push_back(h.RecNo);
    h.GetRec(forward ? xbNext : xbPrior);
    if (out.size() > 10000000) break;
  }
  return out;
}

// Runs body in a child process, as another program; the child's exit
// status (0 = done, 2 = it raised).
inline int InChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    int status = 0;
    try {
      body();
    } catch (...) { status = 2; }
    ::_exit(status);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

// An index file of each format on the draw key.
struct IndexFormat {
  const char* file;
  const char* tag;  // compound formats; single-tag files are named after the file
  const char* name;
};
inline constexpr IndexFormat kIndexFormats[] = {
    {"draws.cdx", "INDEX", "CDX"}, {"draws.ntx", "", "NTX"}, {"draws.ndx", "", "NDX"}, {"draws.mdx", "INDEX", "MDX"}};
inline std::string TagOf(const IndexFormat& f) { return *f.tag ? f.tag : "DRAWS"; }

inline std::string RunTool(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    ::pclose(p);
  }
  return out;
}

inline bool HaveTool(const char* path) { return std::filesystem::exists(path); }

// The record numbers index_dump lists for the numeric tag "INDEX" of cdx, in
// its order.
inline std::vector<int> IndexDumpRecords(const std::string& cdx) {
  const std::string listing = RunTool("/usr/bin/index_dump --type=num " + cdx + " INDEX 2>&1");
  std::istringstream in(listing);
  std::vector<int> records;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key;
    int rec = 0;
    if (fields >> key >> rec) records.push_back(rec);
  }
  return records;
}

}  // namespace vx::test
