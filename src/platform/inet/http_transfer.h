#pragma once
// One HTTP exchange driven by the caller: Start sends the request and
// returns with the response's headers; each Read then pulls the next body
// bytes out of the network. Bytes nobody asked for yet are held in a small
// buffer of bounded size; beyond it the transfer is paused, so the rest
// waits in the network.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/platform/inet/wininet.h>

#include "curl_session.h"

namespace pixavue::platform::inet {

struct HttpRequestSettings {
  std::string url;
  std::string verb;  // "GET", "HEAD" or any other token, sent as it is
  std::string agent;  // none when empty
  bool http10 = true;
  bool verifyHostName = true;  // for https: the chain is always verified
  bool useProxy = true;
  std::vector<std::string> headers;  // extra header lines
};

class HttpTransfer final {
 public:
  HttpTransfer() = default;
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  // 0, or the error number of a failed send.
  DWORD Start(const HttpRequestSettings& settings);

  // Fills buffer with up to wanted bytes (InternetReadFile); 0, or the
  // error number of a transfer that failed before any byte was read.
  DWORD Read(std::uint8_t* buffer, DWORD wanted, DWORD& got);

  // The response's header lines without their line ends, the status line
  // first.
  const std::vector<std::string>& HeaderLines() const { return headerLines_; }

 private:
  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  static int OnConnected(void* self, char*, char*, int, int);
  void Header(const char* data, std::size_t size);
  std::size_t Body(const char* data, std::size_t size);
  DWORD Configure(const HttpRequestSettings& settings);
  // One round of work and, when it brought nothing, a wait for the socket.
  void Drive();
  void NoteFinished();
  void FailWith(CURLcode result);
  DWORD Error() const;
  std::size_t Held() const { return held_.size() - heldStart_; }
  DWORD TakeHeld(std::uint8_t* buffer, DWORD wanted);

  EasyHandle easy_;
  CURLM* multi_ = nullptr;
  HeaderList headerList_;
  char errorText_[CURL_ERROR_SIZE] = {};
  std::vector<std::string> headerLines_;
  bool headersDone_ = false;
  bool connected_ = false;
  bool finished_ = false;
  bool paused_ = false;
  CURLcode result_ = CURLE_OK;
  long osErrno_ = 0;
  std::chrono::steady_clock::time_point lastActivity_;
  // The caller's buffer during a Read, filled straight from the network.
  std::uint8_t* target_ = nullptr;
  std::size_t space_ = 0;
  // Bytes that arrived beyond the caller's buffer.
  std::vector<std::uint8_t> held_;
  std::size_t heldStart_ = 0;
};

}  // namespace pixavue::platform::inet
