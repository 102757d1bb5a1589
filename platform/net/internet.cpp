#include "platform/net/internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>

namespace {

thread_local std::string lastError;

bool Fail(std::string reason) {
  lastError = std::move(reason);
  return false;
}

std::nullptr_t FailNull(std::string reason) {
  lastError = std::move(reason);
  return nullptr;
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

// The receive time-out of the sessions opened from now on (milliseconds).
std::atomic<unsigned> defaultReceiveTimeout{60000};

// What a session shares with its connections and requests: the cancel flag
// and the transfers to wake when it is raised, and the receive time-out.
struct SessionState {
  std::atomic<bool> cancelled{false};
  std::atomic<unsigned> receiveTimeout{defaultReceiveTimeout.load()};
  std::mutex mutex;
  std::vector<CURLM*> transfers;
};

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

bool ValidHost(std::string_view host) {
  const auto colon = host.find(':');
  const std::string_view name = host.substr(0, colon);
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (!std::isalnum(c) && c != '.' && c != '-' && c != '_') return false;
  if (colon == host.npos) return true;
  const std::string_view port = host.substr(colon + 1);
  if (port.empty() || port.size() > 5) return false;
  if (!std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
  const int value = std::atoi(std::string(port).c_str());
  return value >= 1 && value <= 65535;
}

std::string EncodePath(std::string_view path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  if (path.empty() || path[0] != '/') out += '/';
  for (unsigned char c : path) {
    if (c <= 0x20 || c >= 0x7F || c == '#') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

struct TInternetHandle {
  enum class Kind { Session, Connection, Request };
  explicit TInternetHandle(Kind k) : kind(k) {}
  virtual ~TInternetHandle() = default;
  Kind kind;
  std::shared_ptr<SessionState> session;
  AnsiString agent;
};

namespace {

struct ConnectionHandle : TInternetHandle {
  ConnectionHandle() : TInternetHandle(Kind::Connection) {}
  std::string hostAndPort;
  AnsiString userName, password;
};

struct RequestHandle : TInternetHandle {
  RequestHandle() : TInternetHandle(Kind::Request) {}
  ~RequestHandle() override {
    {
      std::lock_guard lock(session->mutex);
      std::erase(session->transfers, multi);
    }
    if (added) curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
  }

  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headers = nullptr;
  bool added = false;
  std::string url, verb, referrer, accept, userName, password, body;
  unsigned flags = 0;

  // The reply.
  bool sent = false;
  int status = 0;
  bool headersDone = false;
  std::vector<std::pair<std::string, std::string>> replyHeaders;
  std::string data;  // body bytes received and not yet read, from dataPos on
  std::size_t dataPos = 0;
  bool done = false;
  CURLcode result = CURLE_OK;
  std::string failure;  // why the transfer ended, when libcurl's reason is not ours

  // Connected, and when the last byte went either way since.
  bool connected = false;
  Clock::time_point lastActivity;
  curl_off_t uploaded = 0;

  // Drives the transfer until `ready` holds or it ends; false when the
  // session was cancelled, libcurl failed or the peer fell silent for the
  // receive time-out.
  template <typename Ready>
  bool Pump(Ready ready) {
    while (!ready() && !done) {
      if (session->cancelled.load()) return Fail("the transfer was cancelled");
      int running = 0;
      if (curl_multi_perform(multi, &running) != CURLM_OK) return Fail("the transfer failed");
      int left = 0;
      while (CURLMsg* m = curl_multi_info_read(multi, &left))
        if (m->msg == CURLMSG_DONE) {
          done = true;
          result = m->data.result;
        }
      if (ready() || done) break;
      int wait = 1000;
      if (connected) {
        const auto limit = std::chrono::milliseconds(session->receiveTimeout.load());
        const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastActivity);
        if (silent >= limit) return Stalled(limit);
        wait = static_cast<int>(std::min<long long>(wait, (limit - silent).count()));
      }
      if (curl_multi_poll(multi, nullptr, 0, wait, nullptr) != CURLM_OK) return Fail("the transfer failed");
    }
    if (session->cancelled.load()) return Fail("the transfer was cancelled");
    return true;
  }

  // Ends the transfer for good: this call and every later read fail.
  bool Stalled(std::chrono::milliseconds limit) {
    done = true;
    result = CURLE_OPERATION_TIMEDOUT;
    failure = "no data received for " + std::to_string(limit.count()) + " ms";
    return Fail(failure);
  }

  std::string Failure() const { return failure.empty() ? curl_easy_strerror(result) : failure; }

  static int OnConnected(void* user, char*, char*, int, int) {
    auto* r = static_cast<RequestHandle*>(user);
    r->connected = true;
    r->lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
  }

  static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* r = static_cast<RequestHandle*>(user);
    if (uploaded != r->uploaded) {
      r->uploaded = uploaded;
      r->lastActivity = Clock::now();
    }
    return 0;
  }

  static std::size_t OnHeader(char* p, std::size_t size, std::size_t count, void* user) {
    auto* r = static_cast<RequestHandle*>(user);
    r->lastActivity = Clock::now();
    const std::string_view line = Trim(std::string_view(p, size * count));
    if (line.starts_with("HTTP/")) {
      // A new reply (an interim 1xx reply comes before the final one).
      r->replyHeaders.clear();
      r->headersDone = false;
      const auto space = line.find(' ');
      r->status = space == line.npos ? 0 : std::atoi(std::string(line.substr(space + 1, 3)).c_str());
    } else if (line.empty()) {
      if (r->status >= 200) r->headersDone = true;
    } else if (const auto colon = line.find(':'); colon != line.npos) {
      r->replyHeaders.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    return size * count;
  }

  static std::size_t OnBody(char* p, std::size_t size, std::size_t count, void* user) {
    auto* r = static_cast<RequestHandle*>(user);
    r->lastActivity = Clock::now();
    if (r->dataPos == r->data.size()) {
      r->data.clear();
      r->dataPos = 0;
    }
    r->data.append(p, size * count);
    return size * count;
  }
};

template <typename T>
T* As(HINTERNET h, TInternetHandle::Kind kind) {
  return h && h->kind == kind ? static_cast<T*>(h) : nullptr;
}

// Loopback addresses never go through a proxy; the environment's list is kept.
std::string NoProxyList() {
  std::string list = "localhost,127.0.0.0/8,::1";
  for (const char* name : {"no_proxy", "NO_PROXY"})
    if (const char* v = std::getenv(name); v && *v) {
      list += ',';
      list += v;
      break;
    }
  return list;
}

}  // namespace

HINTERNET InternetOpen(const AnsiString& agent, TInternetAccess) {
  if (HasLineBreakOrNul(agent)) return FailNull("the agent holds a line break");
  GlobalInit();
  auto* h = new TInternetHandle(TInternetHandle::Kind::Session);
  h->session = std::make_shared<SessionState>();
  h->agent = agent;
  return h;
}

bool InternetSetOption(HINTERNET session, TInternetOption option, unsigned value) {
  if (option != INTERNET_OPTION_RECEIVE_TIMEOUT) return Fail("unknown option");
  if (value == 0) return Fail("the time-out must be at least 1 ms");
  if (!session) {
    defaultReceiveTimeout = value;
    return true;
  }
  auto* s = As<TInternetHandle>(session, TInternetHandle::Kind::Session);
  if (!s) return Fail("not a session handle");
  s->session->receiveTimeout = value;
  return true;
}

HINTERNET InternetConnect(HINTERNET session, const AnsiString& host, int port, const AnsiString& userName,
                          const AnsiString& password, TInternetService) {
  auto* s = As<TInternetHandle>(session, TInternetHandle::Kind::Session);
  if (!s) return FailNull("not a session handle");
  if (s->session->cancelled.load()) return FailNull("the transfer was cancelled");
  auto* c = new ConnectionHandle;
  c->session = s->session;
  c->agent = s->agent;
  c->hostAndPort = host;
  if (host.find(':') == host.npos && port != INTERNET_DEFAULT_HTTP_PORT) c->hostAndPort += ":" + std::to_string(port);
  c->userName = userName;
  c->password = password;
  return c;
}

HINTERNET HttpOpenRequest(HINTERNET connection, const AnsiString& verb, const AnsiString& path,
                          const AnsiString& version, const AnsiString& referrer,
                          const std::vector<AnsiString>& acceptTypes, unsigned flags) {
  auto* c = As<ConnectionHandle>(connection, TInternetHandle::Kind::Connection);
  if (!c) return FailNull("not a connection handle");
  if (c->session->cancelled.load()) return FailNull("the transfer was cancelled");
  if (verb != "GET" && verb != "POST") return FailNull("unsupported verb " + verb);
  if (version != "HTTP/1.0") return FailNull("unsupported version " + version);
  if (!ValidHost(c->hostAndPort)) return FailNull("bad host name '" + c->hostAndPort + "'");
  if (HasLineBreakOrNul(path) || HasLineBreakOrNul(referrer)) return FailNull("a line break in the path or referrer");
  std::string accept;
  for (const AnsiString& t : acceptTypes) {
    if (HasLineBreakOrNul(t)) return FailNull("a line break in the accepted types");
    accept += (accept.empty() ? "" : ", ") + t;
  }
  auto r = std::make_unique<RequestHandle>();
  r->session = c->session;
  r->agent = c->agent;
  r->easy = curl_easy_init();
  r->multi = curl_multi_init();
  if (!r->easy || !r->multi) return FailNull("out of memory");
  r->url = "http://" + c->hostAndPort + EncodePath(path);
  r->verb = verb;
  r->referrer = referrer;
  r->accept = accept;
  r->userName = c->userName;
  r->password = c->password;
  r->flags = flags;
  std::lock_guard lock(r->session->mutex);
  r->session->transfers.push_back(r->multi);
  return r.release();
}

bool HttpSendRequest(HINTERNET request, const AnsiString& headers, const void* body, std::size_t bodyLength) {
  auto* r = As<RequestHandle>(request, TInternetHandle::Kind::Request);
  if (!r) return Fail("not a request handle");
  if (r->sent) return Fail("the request was sent already");
  if (headers.find('\0') != headers.npos) return Fail("a NUL in the headers");
  CURL* e = r->easy;
  r->headers = curl_slist_append(r->headers, ("Accept: " + r->accept).c_str());
  if (r->flags & INTERNET_FLAG_RELOAD) r->headers = curl_slist_append(r->headers, "Pragma: no-cache");
  std::string_view rest = headers;
  while (!rest.empty()) {
    const auto end = rest.find("\r\n");
    const std::string_view line = rest.substr(0, end);
    if (HasLineBreakOrNul(line)) return Fail("a line break inside a header");
    if (!line.empty()) r->headers = curl_slist_append(r->headers, std::string(line).c_str());
    rest = end == rest.npos ? std::string_view() : rest.substr(end + 2);
  }
  r->headers = curl_slist_append(r->headers, "Expect:");

  curl_easy_setopt(e, CURLOPT_URL, r->url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, 30L);
  const std::string noProxy = NoProxyList();
  curl_easy_setopt(e, CURLOPT_NOPROXY, noProxy.c_str());
  if (!r->agent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, r->agent.c_str());
  if (!r->referrer.empty()) curl_easy_setopt(e, CURLOPT_REFERER, r->referrer.c_str());
  if (!r->userName.empty()) {
    curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(e, CURLOPT_USERNAME, r->userName.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, r->password.c_str());
  }
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, r->headers);
  if (r->verb == "POST") {
    r->body.assign(static_cast<const char*>(body), body ? bodyLength : 0);
    curl_easy_setopt(e, CURLOPT_POST, 1L);
    curl_easy_setopt(e, CURLOPT_POSTFIELDS, r->body.data());
    curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r->body.size()));
  } else if (body && bodyLength > 0) {
    return Fail("a body needs POST");
  }
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &RequestHandle::OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, r);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &RequestHandle::OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, r);
  curl_easy_setopt(e, CURLOPT_BUFFERSIZE, 65536L);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &RequestHandle::OnConnected);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, r);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &RequestHandle::OnProgress);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, r);
  if (curl_multi_add_handle(r->multi, e) != CURLM_OK) return Fail("the transfer failed");
  r->added = true;
  r->sent = true;
  if (!r->Pump([r] { return r->headersDone; })) return false;
  if (!r->headersDone) return Fail(r->result != CURLE_OK ? r->Failure() : "the reply had no headers");
  return true;
}

bool HttpQueryInfo(HINTERNET request, THttpQuery query, char* buffer, unsigned& length) {
  auto* r = As<RequestHandle>(request, TInternetHandle::Kind::Request);
  if (!r) return Fail("not a request handle");
  if (!r->headersDone) return Fail("no reply");
  std::string value;
  if (query == HTTP_QUERY_STATUS_CODE) {
    value = std::to_string(r->status);
  } else {
    const auto it = std::find_if(r->replyHeaders.begin(), r->replyHeaders.end(),
                                 [](const auto& h) { return SameIgnoringCase(h.first, "Content-Length"); });
    if (it == r->replyHeaders.end()) return Fail("the header is missing");
    value = it->second;
  }
  if (value.size() + 1 > length) {
    length = static_cast<unsigned>(value.size() + 1);
    return Fail("the buffer is too small");
  }
  std::memcpy(buffer, value.c_str(), value.size() + 1);
  length = static_cast<unsigned>(value.size());
  return true;
}

bool InternetReadFile(HINTERNET request, void* buffer, unsigned toRead, unsigned& read) {
  read = 0;
  auto* r = As<RequestHandle>(request, TInternetHandle::Kind::Request);
  if (!r) return Fail("not a request handle");
  if (!r->headersDone) return Fail("no reply");
  if (!r->Pump([r] { return r->dataPos < r->data.size(); })) return false;
  const std::size_t available = r->data.size() - r->dataPos;
  if (available == 0) {
    if (r->result != CURLE_OK) return Fail(r->Failure());
    return true;
  }
  read = static_cast<unsigned>(std::min<std::size_t>(toRead, available));
  std::memcpy(buffer, r->data.data() + r->dataPos, read);
  r->dataPos += read;
  return true;
}

bool InternetCloseHandle(HINTERNET handle) {
  if (!handle) return Fail("no handle");
  delete handle;
  return true;
}

void InternetCancel(HINTERNET session) {
  if (!session) return;
  SessionState& s = *session->session;
  s.cancelled.store(true);
  std::lock_guard lock(s.mutex);
  for (CURLM* m : s.transfers) curl_multi_wakeup(m);
}

std::string InternetLastError() { return lastError; }
