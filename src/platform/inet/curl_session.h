#pragma once
// What every transfer shares: libcurl's one-time start, the process's
// time-outs, the options each easy handle gets (time-outs, proxy, trusted
// certificates), and the mapping of libcurl's results to error numbers.

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>

#include <pixavue/platform/inet/wininet.h>

namespace pixavue::platform::inet {

// Starts libcurl once per process; false when it could not start.
bool StartCurl();

std::chrono::milliseconds ConnectTimeout();
std::chrono::milliseconds ReceiveTimeout();
void SetConnectTimeout(DWORD milliseconds);
void SetReceiveTimeout(DWORD milliseconds);

// The environment variable that names extra trusted certificates.
inline constexpr const char* kExtraCaFileVariable = "PIXAVUE_EXTRA_CA_FILE";

// True when a proxy variable of the environment is set (not empty).
bool ProxyConfigured();
// True when every proxy variable that is set is a URL libcurl can use.
bool ProxySettingsValid();

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// A new easy handle with the options of every transfer: no signals, the
// connect time-out, the proxy (the environment's, or none), trusted
// certificates, and an error text buffer of CURL_ERROR_SIZE bytes.
EasyHandle NewEasyHandle(bool useProxy, char* errorText);

// The error number for a failed transfer: its result, the system's error
// number and libcurl's text.
DWORD ToInternetError(CURLcode result, long osErrno, const char* errorText);

}  // namespace pixavue::platform::inet
