// A file served by Python's http.server, fetched by the client and by curl
// (HTTP/1.0): both copies hold the same bytes.
#include <gtest/gtest.h>
#include <signal.h>

#include <random>

#include "app/http/httpfetch.h"
#include "platform/gui/core/application.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"

namespace {

TEST(HttpFetchPeers, FetchesTheSameBytesAsCurl) {
  Application->Initialize();
  vx::test::ScratchFolder folder;
  std::string data(300001, '\0');
  std::mt19937 random(7);
  for (char& c : data) c = static_cast<char>(random());
  vx::test::WriteWholeFile(folder / "served.bin", data);

  FILE* server = ::popen(("sh -c 'echo $$; exec /usr/bin/python3 -u -m http.server --bind 127.0.0.1 --directory " +
                          folder.Path() + " 0' 2>/dev/null")
                             .c_str(),
                         "r");
  ASSERT_NE(server, nullptr);
  char line[256];
  ASSERT_NE(std::fgets(line, sizeof line, server), nullptr);
  const int pid = std::atoi(line);
  ASSERT_NE(std::fgets(line, sizeof line, server), nullptr) << "http.server did not start";
  const std::string text = line;  // "Serving HTTP on 127.0.0.1 port N (...) ..."
  const auto at = text.find(" port ");
  ASSERT_NE(at, std::string::npos) << text;
  const std::string url = "127.0.0.1:" + std::to_string(std::atoi(text.c_str() + at + 6)) + "/served.bin";

  THttpFetch fetch(nullptr);
  fetch.SetBinaryData(true);
  fetch.SetWaitThread(true);
  fetch.SetURL(url);
  fetch.SetFileName(folder / "ours.bin");
  fetch.Download();
  int status = -1;
  vx::test::RunTool("curl --http1.0 -s -o " + folder / "curl.bin" + " http://" + url, &status);
  ::kill(pid, SIGTERM);
  ::pclose(server);

  EXPECT_TRUE(fetch.LastResult());
  EXPECT_EQ(status, 0);
  const std::string ours = vx::test::ReadWholeFile(folder / "ours.bin");
  EXPECT_EQ(ours.size(), data.size());
  EXPECT_TRUE(ours == vx::test::ReadWholeFile(folder / "curl.bin")) << "the two copies differ";
  EXPECT_TRUE(ours == data);
}

}  // namespace
