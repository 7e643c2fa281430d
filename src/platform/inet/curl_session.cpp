// libcurl's start, the shared options of every transfer and the error
// numbers of its results.

#include "curl_session.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pixavue::platform::inet {
namespace {

std::atomic<DWORD> connectTimeoutMs{kDefaultConnectTimeoutMs};
std::atomic<DWORD> receiveTimeoutMs{kDefaultReceiveTimeoutMs};

// The variables libcurl reads for its proxy.
constexpr const char* kProxyVariables[] = {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"};

const char* SetVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

bool UsableProxyUrl(const char* value) {
  CURLU* url = curl_url();
  if (url == nullptr) return false;
  const CURLUcode parsed = curl_url_set(url, CURLUPART_URL, value, CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME);
  curl_url_cleanup(url);
  return parsed == CURLUE_OK;
}

void TrustCertificates(CURL* easy) {
  const char* extra = SetVariable(kExtraCaFileVariable);
  if (extra == nullptr) return;
  // The extra file replaces libcurl's bundle; the system's store stays
  // trusted through its folder.
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  const char* folder = info != nullptr && info->capath != nullptr ? info->capath : "/etc/ssl/certs";
  curl_easy_setopt(easy, CURLOPT_CAINFO, extra);
  curl_easy_setopt(easy, CURLOPT_CAPATH, folder);
}

bool Mentions(const char* text, const char* word) { return text != nullptr && std::strstr(text, word) != nullptr; }

DWORD CertificateError(const char* errorText) {
  if (Mentions(errorText, "expired") || Mentions(errorText, "not yet valid")) {
    return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
  }
  if (Mentions(errorText, "subject") || Mentions(errorText, "match")) return ERROR_INTERNET_SEC_CERT_CN_INVALID;
  return ERROR_INTERNET_INVALID_CA;
}

DWORD ReceiveError(long osErrno) {
  return osErrno == ECONNRESET ? ERROR_INTERNET_CONNECTION_RESET : ERROR_INTERNET_CONNECTION_ABORTED;
}

}  // namespace

bool StartCurl() {
  static const bool started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return started;
}

std::chrono::milliseconds ConnectTimeout() { return std::chrono::milliseconds(connectTimeoutMs.load()); }
std::chrono::milliseconds ReceiveTimeout() { return std::chrono::milliseconds(receiveTimeoutMs.load()); }

void SetConnectTimeout(DWORD milliseconds) {
  connectTimeoutMs = milliseconds == 0 ? kDefaultConnectTimeoutMs : milliseconds;
}

void SetReceiveTimeout(DWORD milliseconds) {
  receiveTimeoutMs = milliseconds == 0 ? kDefaultReceiveTimeoutMs : milliseconds;
}

bool ProxyConfigured() {
  for (const char* name : kProxyVariables) {
    if (SetVariable(name) != nullptr) return true;
  }
  return false;
}

bool ProxySettingsValid() {
  for (const char* name : kProxyVariables) {
    const char* value = SetVariable(name);
    if (value != nullptr && !UsableProxyUrl(value)) return false;
  }
  return true;
}

EasyHandle NewEasyHandle(bool useProxy, char* errorText) {
  EasyHandle easy(curl_easy_init());
  if (easy == nullptr) return easy;
  CURL* handle = easy.get();
  errorText[0] = '\0';
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeout().count()));
  if (!useProxy) curl_easy_setopt(handle, CURLOPT_PROXY, "");
  TrustCertificates(handle);
  return easy;
}

DWORD ToInternetError(CURLcode result, long osErrno, const char* errorText) {
  switch (result) {
    case CURLE_OK: return 0;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_WEIRD_SERVER_REPLY: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_LOGIN_DENIED: return ERROR_INTERNET_LOGIN_FAILURE;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_QUOTE_ERROR: return ERROR_INTERNET_EXTENDED_ERROR;
    case CURLE_FTP_ACCEPT_TIMEOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: return ReceiveError(osErrno);
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_WRITE_ERROR: return ERROR_INTERNET_OPERATION_CANCELLED;
    case CURLE_PEER_FAILED_VERIFICATION: return CertificateError(errorText);
    case CURLE_SSL_CACERT_BADFILE: return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CLIENTCERT: return ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED;
    case CURLE_SSL_CONNECT_ERROR: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

}  // namespace pixavue::platform::inet
