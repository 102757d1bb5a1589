// Runs a shell command (a peer tool) and returns what it wrote to standard
// output; an empty text when it could not be started.
#pragma once

#include <cstdio>
#include <string>

namespace vx::test {

// status, when given, receives pclose's result (-1 when nothing ran).
inline std::string RunTool(const std::string& command, int* status = nullptr) {
  std::string out;
  if (status) *status = -1;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int rc = ::pclose(pipe);
  if (status) *status = rc;
  return out;
}

}  // namespace vx::test
