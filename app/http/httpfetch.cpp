#include "app/http/httpfetch.h"

#include <climits>

#include "platform/gui/core/application.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr unsigned kChunk = 1025;

// Content-Length as the worker takes it: decimal digits only, 0..2^31-1.
bool ParseContentLength(const char* text, int& value) {
  long long v = 0;
  if (!*text) return false;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + (*p - '0');
    if (v > INT_MAX) return false;
  }
  value = static_cast<int>(v);
  return true;
}

// Closes a request or connection handle at the end of a scope.
struct HandleCloser {
  HINTERNET h = nullptr;
  ~HandleCloser() {
    if (h) InternetCloseHandle(h);
  }
};

}  // namespace

void SplitUrl(const AnsiString& url, AnsiString& host, AnsiString& path) {
  AnsiString rest = url;
  if (LowerCase(rest.substr(0, 7)) == "http://") rest.erase(0, 7);
  const auto slash = rest.find('/');
  if (slash == AnsiString::npos) {
    host.clear();
    path = rest;
  } else {
    host = rest.substr(0, slash);
    path = rest.substr(slash);
  }
}

// ---------------------------------------------------------------------------
// THttpFetchThread

THttpFetchThread::THttpFetchThread(const THttpFetchProperties& properties, bool toFile, TOnProgressEvent onProgress)
    : p_(properties), toFile_(toFile), onProgress_(std::move(onProgress)) {}

THttpFetchThread::~THttpFetchThread() { StopAndJoin(); }

void THttpFetchThread::TerminatedSet() {
  std::lock_guard lock(sessionMutex_);
  if (session_) InternetCancel(session_);
}

void THttpFetchThread::Execute() {
  const bool ok = Transfer();
  {
    std::lock_guard lock(sessionMutex_);
    if (session_) InternetCloseHandle(session_);
    session_ = nullptr;
  }
  result_.store(ok && !Terminated());
}

bool THttpFetchThread::Transfer() {
  if (Terminated()) return false;
  {
    std::lock_guard lock(sessionMutex_);
    session_ = InternetOpen(p_.Agent, INTERNET_OPEN_TYPE_PRECONFIG);
    if (!session_) return false;
    // An abort that came before the session existed still cancels it.
    if (Terminated()) InternetCancel(session_);
  }
  AnsiString host, path;
  SplitUrl(p_.URL, host, path);
  HandleCloser connection{
      InternetConnect(session_, host, INTERNET_DEFAULT_HTTP_PORT, p_.UserName, p_.Password, INTERNET_SERVICE_HTTP)};
  if (!connection.h || Terminated()) return false;
  const bool post = !p_.PostQuery.empty();
  HandleCloser request{HttpOpenRequest(connection.h, post ? "POST" : "GET", path, "HTTP/1.0", p_.Referer,
                                       {p_.AcceptTypes}, p_.UseCache ? 0 : INTERNET_FLAG_RELOAD)};
  if (!request.h || Terminated()) return false;
  const bool sent = post ? HttpSendRequest(request.h, "Content-Type: application/x-www-form-urlencoded",
                                           p_.PostQuery.data(), p_.PostQuery.size())
                         : HttpSendRequest(request.h, "", nullptr, 0);
  if (!sent || Terminated()) return false;

  char text[1024];
  unsigned length = sizeof text;
  if (!HttpQueryInfo(request.h, HTTP_QUERY_STATUS_CODE, text, length) || text[0] != '2' || length != 3) return false;
  length = sizeof text;
  if (HttpQueryInfo(request.h, HTTP_QUERY_CONTENT_LENGTH, text, length)) {
    if (!ParseContentLength(text, contentLength_)) return false;
  } else if (p_.BinaryData) {
    return false;
  }
  if (toFile_ && !file_.Open(p_.FileName, ".part")) return false;
  if (!ReadBody(request.h)) return false;
  return toFile_ ? contentLength_ == bytesRead_ : bytesRead_ != 0;
}

bool THttpFetchThread::ReadBody(HINTERNET request) {
  char buffer[kChunk];
  while (true) {
    if (Terminated()) return false;
    unsigned got = 0;
    if (!InternetReadFile(request, buffer, kChunk, got)) return false;
    if (got == 0) return true;
    if (bytesRead_ > INT_MAX - static_cast<int>(got)) return false;
    if (toFile_) {
      if (!file_.Write(buffer, got)) return false;
    } else {
      resultString_.append(buffer, got);
    }
    bytesRead_ += static_cast<int>(got);
    if (onProgress_) Queue([this, total = contentLength_, readed = bytesRead_] { onProgress_(this, total, readed); });
  }
}

// ---------------------------------------------------------------------------
// THttpFetch

THttpFetch::THttpFetch(TComponent* AOwner) : TComponent(AOwner) {}

THttpFetch::~THttpFetch() {
  *alive_ = false;
  if (THttpFetchThread* t = thread_) {
    thread_ = nullptr;
    // Terminates it, cancels its network call, joins it and drops its
    // pending events; the partial file goes with it.
    delete t;
  }
}

void THttpFetch::Download() {
  if (thread_) return;
  auto* t = new THttpFetchThread(p_, true, OnProgress);
  t->FreeOnTerminate = true;
  t->OnTerminate = [this](TObject* Sender) { ThreadDone(Sender); };
  thread_ = t;
  t->Resume();
  if (!waitThread_) return;
  const std::shared_ptr<bool> alive = alive_;
  while (*alive && thread_) Application->HandleMessage();
}

void THttpFetch::Abort() {
  if (thread_) thread_->Terminate();
}

void THttpFetch::ThreadDone(TObject* Sender) {
  auto* t = static_cast<THttpFetchThread*>(Sender);
  if (t == thread_) thread_ = nullptr;
  bool ok = t->Result() && !t->Terminated();
  if (ok && t->ToFile()) ok = t->CommitFile();
  result_ = ok;
  try {
    if (!ok) {
      if (OnError) OnError(this);
    } else if (t->ToFile()) {
      if (OnDoneFile) OnDoneFile(this, t->FileName(), t->ContentLength());
    } else if (OnDoneString) {
      OnDoneString(this, t->ResultString());
    }
  } catch (...) { Application->HandleException(std::current_exception()); }
}
