// The Internet calls refuse what would be unsafe on the wire; the exchange
// itself is tested through the client component.
#include "platform/net/internet.h"

#include <gtest/gtest.h>

#include "tests/support/http_test_server.h"

namespace {

using vx::test::HttpTestServer;
using vx::test::MakeReply;

// Opens the three handles of one request; closes them at the end.
struct Exchange {
  Exchange(const std::string& host, const AnsiString& path, const AnsiString& agent = "",
           const AnsiString& verb = "GET", const AnsiString& referrer = "") {
    session = InternetOpen(agent, INTERNET_OPEN_TYPE_PRECONFIG);
    connection =
        session ? InternetConnect(session, host, INTERNET_DEFAULT_HTTP_PORT, "", "", INTERNET_SERVICE_HTTP) : nullptr;
    request = connection ? HttpOpenRequest(connection, verb, path, "HTTP/1.0", referrer, {"*/*"}, 0) : nullptr;
  }
  ~Exchange() {
    for (HINTERNET h : {request, connection, session})
      if (h) InternetCloseHandle(h);
  }
  HINTERNET session, connection, request;
};

TEST(Internet, RefusesUnsafeOrMalformedRequests) {
  HttpTestServer server([](const std::string&) { return MakeReply(""); });
  const std::string h = server.Host();
  struct Case {
    std::string host;
    AnsiString path, agent, verb, referrer;
    const char* error;
  };
  const Case cases[] = {
      {"", "/", "", "GET", "", "bad host name ''"},
      {"user@127.0.0.1", "/", "", "GET", "", "bad host name 'user@127.0.0.1'"},
      {"127.0.0.1:99999", "/", "", "GET", "", "bad host name '127.0.0.1:99999'"},
      {h, "/", "", "PUT", "", "unsupported verb PUT"},
      {h, "/a\r\nX: y", "", "GET", "", "a line break in the path or referrer"},
      {h, "/", "", "GET", "r\n", "a line break in the path or referrer"},
      {h, "/", "a\r\nX: y", "GET", "", "the agent holds a line break"},
  };
  for (const Case& c : cases) {
    Exchange x(c.host, c.path, c.agent, c.verb, c.referrer);
    EXPECT_EQ(x.request, nullptr) << c.error;
    EXPECT_EQ(InternetLastError(), c.error);
  }
  Exchange x(h, "/");
  EXPECT_FALSE(HttpSendRequest(x.request, "A: b\nC: d", nullptr, 0));
  EXPECT_EQ(InternetLastError(), "a line break inside a header");
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
