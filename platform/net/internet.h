// The Internet calls of the HTTP client, in the shape the client makes them
// (session, connection, request, send, header query, read, close), carried
// by libcurl.
//
// What goes on the wire (HTTP/1.0; the connection closes after the reply):
//   <verb> <path> HTTP/1.0
//   Host: <host>[:<port> when not 80]
//   Authorization: Basic ...   only when a user name is given
//   User-Agent: <agent>        only when the agent is not empty
//   Referer: <referrer>        only when not empty
//   Accept: <accept types>     one header, the types joined by ", "
//   Pragma: no-cache           unless the request allows a cached copy
//   <the headers given to HttpSendRequest, e.g. Content-Type>
//   Content-Length: <n>        for a body
// No redirect is followed (a 3xx reply is returned as it is) and nothing is
// cached. Any HTTP status counts as a reply; the caller asks for it. A proxy
// named in the environment (http_proxy, no_proxy) is used, never for the
// loopback addresses. The host part may carry ":port".
//
// Checks: a host other than letters, digits, '.', '-', '_' with an optional
// ":port"; an agent, referrer, header or path holding CR, LF or NUL; a
// verb other than GET and POST: the call fails. Path bytes up to 0x20,
// from 0x7F on, and '#' are sent percent-encoded.
//
// Handles. Every call returns null / false on failure and leaves the reason
// in InternetLastError(). The connection is made by HttpSendRequest (with a
// connect timeout of 30 s), so a bad host fails there. Once connected, a
// transfer that receives nothing (no header line, no body byte) and sends
// nothing for the session's receive time-out fails: the call waiting on it
// (HttpSendRequest or InternetReadFile) returns false, and so does every
// later read of that request. The time-out is 60 s unless set with
// InternetSetOption. A handle is used by
// one thread at a time and closed once with InternetCloseHandle; children
// may outlive their parents. InternetCancel may be called from any other
// thread while the session handle is alive: every call then under way on
// the session's requests returns false at once, and so does every later one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/rtl/cp1251.h"

struct TInternetHandle;
using HINTERNET = TInternetHandle*;

enum TInternetAccess { INTERNET_OPEN_TYPE_PRECONFIG };
enum TInternetService { INTERNET_SERVICE_HTTP };
// Request flags.
inline constexpr unsigned INTERNET_FLAG_RELOAD = 1;  // always fetch from the origin server
// Settings of InternetSetOption.
enum TInternetOption {
  INTERNET_OPTION_RECEIVE_TIMEOUT  // milliseconds, at least 1; 60000 by default
};
// Header queries.
enum THttpQuery { HTTP_QUERY_CONTENT_LENGTH, HTTP_QUERY_STATUS_CODE };
inline constexpr int INTERNET_DEFAULT_HTTP_PORT = 80;

// A session; `agent` is the User-Agent ("" sends none).
HINTERNET InternetOpen(const AnsiString& agent, TInternetAccess access);
// Sets an option of a session (its transfers under way included) or, with a
// null handle, the default of the sessions opened from then on. False for
// another kind of handle or a value out of range.
bool InternetSetOption(HINTERNET session, TInternetOption option, unsigned value);
// A connection to `host` (":port" in it overrides `port`).
HINTERNET InternetConnect(HINTERNET session, const AnsiString& host, int port, const AnsiString& userName,
                          const AnsiString& password, TInternetService service);
// A request; `version` must be "HTTP/1.0".
HINTERNET HttpOpenRequest(HINTERNET connection, const AnsiString& verb, const AnsiString& path,
                          const AnsiString& version, const AnsiString& referrer,
                          const std::vector<AnsiString>& acceptTypes, unsigned flags);
// Sends the request with extra header lines (CR LF between them) and a body,
// and waits for the reply's headers. False on any network failure.
bool HttpSendRequest(HINTERNET request, const AnsiString& headers, const void* body, std::size_t bodyLength);
// A header of the reply as text into `buffer` (NUL-terminated). `length`
// gives the buffer's size and receives the text's length. False when the
// header is missing or the text does not fit.
bool HttpQueryInfo(HINTERNET request, THttpQuery query, char* buffer, unsigned& length);
// Reads up to `toRead` bytes of the reply's body. At the end of the body it
// succeeds with `read` = 0; a body cut short by the server is a failure.
bool InternetReadFile(HINTERNET request, void* buffer, unsigned toRead, unsigned& read);
bool InternetCloseHandle(HINTERNET handle);
// Aborts every transfer of the session (thread-safe, see above).
void InternetCancel(HINTERNET session);
// The reason of the calling thread's last failure.
std::string InternetLastError();
