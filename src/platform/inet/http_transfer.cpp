// The pull-driven HTTP exchange over libcurl's multi interface.

#include "http_transfer.h"

#include <algorithm>
#include <cstring>

namespace pixavue::platform::inet {
namespace {

// Bytes held beyond the caller's buffer before the transfer is paused. One
// delivery of libcurl (at most CURL_MAX_WRITE_SIZE) may come on top.
constexpr std::size_t kHeldLimit = 64 * 1024;
// Longest single wait for the socket, so that the receive time-out is
// checked often enough.
constexpr int kLongestPollMs = 100;

using Clock = std::chrono::steady_clock;

bool IsStatusLine(const char* data, std::size_t size) { return size >= 5 && std::memcmp(data, "HTTP/", 5) == 0; }

// The status code of a status line "HTTP/x.y NNN text", 0 when unreadable.
int StatusCode(const std::string& line) {
  const std::size_t space = line.find(' ');
  if (space == std::string::npos || line.size() < space + 4) return 0;
  int code = 0;
  for (std::size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    code = code * 10 + (line[i] - '0');
  }
  return code;
}

}  // namespace

HttpTransfer::~HttpTransfer() {
  if (multi_ != nullptr) {
    if (easy_ != nullptr) curl_multi_remove_handle(multi_, easy_.get());
    curl_multi_cleanup(multi_);
  }
}

std::size_t HttpTransfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
  static_cast<HttpTransfer*>(self)->Header(data, size * count);
  return size * count;
}

std::size_t HttpTransfer::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  return static_cast<HttpTransfer*>(self)->Body(data, size * count);
}

int HttpTransfer::OnConnected(void* self, char*, char*, int, int) {
  auto* transfer = static_cast<HttpTransfer*>(self);
  transfer->connected_ = true;
  transfer->lastActivity_ = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// Header lines of an interim (1xx) response are replaced by the next
// response's; the blank line of a final response ends the headers.
void HttpTransfer::Header(const char* data, std::size_t size) {
  lastActivity_ = Clock::now();
  while (size > 0 && (data[size - 1] == '\n' || data[size - 1] == '\r')) --size;
  if (IsStatusLine(data, size)) headerLines_.clear();
  if (size > 0) {
    headerLines_.emplace_back(data, size);
    return;
  }
  const int status = headerLines_.empty() ? 0 : StatusCode(headerLines_.front());
  if (status < 100 || status >= 200) headersDone_ = true;
}

std::size_t HttpTransfer::Body(const char* data, std::size_t size) {
  if (space_ == 0 && Held() >= kHeldLimit) {
    paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  lastActivity_ = Clock::now();
  headersDone_ = true;
  const std::size_t direct = std::min(size, space_);
  if (direct > 0) {
    std::memcpy(target_, data, direct);
    target_ += direct;
    space_ -= direct;
  }
  if (direct < size) {
    if (heldStart_ > 0 && heldStart_ == held_.size()) {
      held_.clear();
      heldStart_ = 0;
    }
    held_.insert(held_.end(), data + direct, data + size);
  }
  return size;
}

DWORD HttpTransfer::Configure(const HttpRequestSettings& settings) {
  easy_ = NewEasyHandle(settings.useProxy, errorText_);
  multi_ = curl_multi_init();
  if (easy_ == nullptr || multi_ == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  CURL* easy = easy_.get();
  curl_easy_setopt(easy, CURLOPT_URL, settings.url.c_str());
  if (!settings.agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, settings.agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                   settings.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  if (settings.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (settings.verb != "GET") {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, settings.verb.c_str());
  }
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, settings.verifyHostName ? 2L : 0L);
  for (const std::string& line : settings.headers) {
    curl_slist* list = curl_slist_append(headerList_.get(), line.c_str());
    if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    headerList_.release();
    headerList_.reset(list);
  }
  if (headerList_ != nullptr) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList_.get());
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &HttpTransfer::OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
  if (curl_multi_add_handle(multi_, easy) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
  return 0;
}

void HttpTransfer::NoteFinished() {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    finished_ = true;
    result_ = message->data.result;
    curl_easy_getinfo(easy_.get(), CURLINFO_OS_ERRNO, &osErrno_);
  }
}

void HttpTransfer::FailWith(CURLcode result) {
  finished_ = true;
  result_ = result;
}

// The receive time-out counts from the connection on: until then the
// connect time-out applies.
void HttpTransfer::Drive() {
  int running = 0;
  if (curl_multi_perform(multi_, &running) != CURLM_OK) return FailWith(CURLE_OUT_OF_MEMORY);
  NoteFinished();
  if (finished_ || (target_ != nullptr && space_ == 0) || (target_ == nullptr && headersDone_)) return;
  const auto quiet = Clock::now() - lastActivity_;
  if (connected_ && quiet >= ReceiveTimeout()) return FailWith(CURLE_OPERATION_TIMEDOUT);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(ReceiveTimeout() - quiet).count();
  const int wait = static_cast<int>(std::clamp<long long>(left, 1, kLongestPollMs));
  curl_multi_poll(multi_, nullptr, 0, wait, nullptr);
}

DWORD HttpTransfer::Error() const {
  if (result_ == CURLE_OK) return 0;
  return ToInternetError(result_, osErrno_, errorText_);
}

DWORD HttpTransfer::Start(const HttpRequestSettings& settings) {
  const DWORD configured = Configure(settings);
  if (configured != 0) return configured;
  lastActivity_ = Clock::now();
  while (!headersDone_ && !finished_) Drive();
  if (headersDone_) return 0;
  const DWORD error = Error();
  return error != 0 ? error : ERROR_HTTP_INVALID_SERVER_RESPONSE;
}

DWORD HttpTransfer::TakeHeld(std::uint8_t* buffer, DWORD wanted) {
  const std::size_t take = std::min<std::size_t>(wanted, Held());
  if (take > 0) std::memcpy(buffer, held_.data() + heldStart_, take);
  heldStart_ += take;
  if (heldStart_ == held_.size()) {
    held_.clear();
    heldStart_ = 0;
  }
  return static_cast<DWORD>(take);
}

DWORD HttpTransfer::Read(std::uint8_t* buffer, DWORD wanted, DWORD& got) {
  got = TakeHeld(buffer, wanted);
  target_ = buffer + got;
  space_ = wanted - got;
  lastActivity_ = Clock::now();
  while (space_ > 0 && !finished_) {
    if (paused_) {
      // Resuming may deliver the bytes libcurl kept at once, into target_.
      paused_ = false;
      curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
      continue;
    }
    Drive();
  }
  got = static_cast<DWORD>(wanted - space_);
  target_ = nullptr;
  space_ = 0;
  return got > 0 ? 0 : Error();
}

}  // namespace pixavue::platform::inet
