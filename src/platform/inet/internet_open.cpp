// The root handle, connections, closing and the process's time-outs.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <new>
#include <string>

#include "curl_session.h"
#include "internet_objects.h"
#include "url_text.h"

namespace pixavue::platform {
namespace {

std::string TextOrEmpty(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

// Connects to the origin and lets go at once: CONNECT_ONLY stops after the
// TCP connection for HTTP and after the login for FTP. 0 or the error.
DWORD ProbeConnection(const inet::InternetObject& connection, const std::string& url) {
  char errorText[CURL_ERROR_SIZE];
  inet::EasyHandle easy = inet::NewEasyHandle(true, errorText);
  if (easy == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS,
                   static_cast<long>((inet::ConnectTimeout() + inet::ReceiveTimeout()).count()));
  if (connection.kind == inet::ObjectKind::FtpConnection) {
    curl_easy_setopt(easy.get(), CURLOPT_USERNAME, connection.user.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_PASSWORD, connection.password.c_str());
  }
  const CURLcode result = curl_easy_perform(easy.get());
  long osErrno = 0;
  curl_easy_getinfo(easy.get(), CURLINFO_OS_ERRNO, &osErrno);
  return inet::ToInternetError(result, osErrno, errorText);
}

HINTERNET Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

// The FTP login: an empty user name logs in anonymously.
void SetLogin(inet::InternetObject& connection, const char* userName, const char* password) {
  connection.user = TextOrEmpty(userName);
  connection.password = TextOrEmpty(password);
  if (connection.user.empty()) {
    connection.user = "anonymous";
    if (connection.password.empty()) connection.password = "quorvex@";
  }
}

}  // namespace

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                        DWORD flags) {
  if ((accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT) || proxy != nullptr ||
      proxyBypass != nullptr || flags != 0) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!inet::StartCurl()) return Fail(ERROR_INTERNET_INTERNAL_ERROR);
  const bool useProxy = accessType == INTERNET_OPEN_TYPE_PRECONFIG;
  if (useProxy && !inet::ProxySettingsValid()) return Fail(ERROR_INTERNET_INVALID_PROXY_REQUEST);
  try {
    auto root = std::make_shared<inet::InternetObject>();
    root->useProxy = useProxy;
    root->agent = TextOrEmpty(agent);
    return inet::AddObject(std::move(root));
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// With a proxy in the environment the server is not probed: the proxy
// reaches it only for a request.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port, const char* userName,
                           const char* password, DWORD service, DWORD flags, DWORD_PTR /*context*/) {
  const auto root = inet::FindObject(internet, inet::ObjectKind::Root);
  if (root == nullptr) return nullptr;
  if (service != INTERNET_SERVICE_HTTP && service != INTERNET_SERVICE_FTP) return Fail(ERROR_INVALID_PARAMETER);
  const std::string host = TextOrEmpty(serverName);
  if (!inet::IsServerName(host)) return Fail(ERROR_INTERNET_NAME_NOT_RESOLVED);
  try {
    auto connection = std::make_shared<inet::InternetObject>();
    const bool ftp = service == INTERNET_SERVICE_FTP;
    connection->kind = ftp ? inet::ObjectKind::FtpConnection : inet::ObjectKind::HttpConnection;
    connection->parent = internet;
    connection->useProxy = root->useProxy;
    connection->agent = root->agent;
    connection->host = host;
    connection->port = port != 0 ? port : static_cast<INTERNET_PORT>(ftp ? 21 : 80);
    connection->passive = (flags & INTERNET_FLAG_PASSIVE) != 0;
    if (ftp) SetLogin(*connection, userName, password);
    if (ftp || !(root->useProxy && inet::ProxyConfigured())) {
      const DWORD error = ProbeConnection(*connection, inet::Origin(ftp ? "ftp" : "http", host, connection->port) + "/");
      if (error != 0) return Fail(error);
    }
    return inet::AddObject(std::move(connection));
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

BOOL InternetCloseHandle(HINTERNET handle) {
  if (!inet::RemoveObject(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, const void* buffer, DWORD bufferLength) {
  const bool timeout = option == INTERNET_OPTION_CONNECT_TIMEOUT || option == INTERNET_OPTION_RECEIVE_TIMEOUT;
  if (handle != nullptr || !timeout) {
    SetLastError(ERROR_INTERNET_INVALID_OPTION);
    return FALSE;
  }
  if (buffer == nullptr || bufferLength != sizeof(DWORD)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD milliseconds = *static_cast<const DWORD*>(buffer);
  if (option == INTERNET_OPTION_CONNECT_TIMEOUT) {
    inet::SetConnectTimeout(milliseconds);
  } else {
    inet::SetReceiveTimeout(milliseconds);
  }
  return TRUE;
}

}  // namespace pixavue::platform
