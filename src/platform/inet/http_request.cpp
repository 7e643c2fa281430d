// HTTP requests: opening one on a connection, sending it, reading its body.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "internet_objects.h"
#include "url_text.h"

namespace pixavue::platform {
namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// A method token: letters, digits and the token punctuation of HTTP.
bool IsToken(std::string_view verb) {
  return !verb.empty() && std::all_of(verb.begin(), verb.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
  });
}

// The extra header text, split into lines; blank lines are dropped.
std::vector<std::string> HeaderLines(const char* headers, DWORD length) {
  std::vector<std::string> lines;
  if (headers == nullptr) return lines;
  const std::string_view text(headers, length == static_cast<DWORD>(-1) ? std::char_traits<char>::length(headers)
                                                                         : length);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inet::HttpRequestSettings SettingsFor(const inet::InternetObject& connection, const inet::InternetObject& request) {
  const bool secure = (request.flags & INTERNET_FLAG_SECURE) != 0;
  inet::HttpRequestSettings settings;
  settings.url = inet::Origin(secure ? "https" : "http", connection.host, connection.port) + request.objectName;
  settings.verb = request.verb;
  settings.http10 = request.http10;
  settings.verifyHostName = (request.flags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID) == 0;
  settings.useProxy = connection.useProxy;
  settings.agent = connection.agent;
  return settings;
}

// The request's own lines as they are sent, for queries of request headers.
std::vector<std::string> RequestLines(const inet::InternetObject& connection, const inet::InternetObject& request,
                                      const std::vector<std::string>& extra) {
  const bool defaultPort = connection.port == ((request.flags & INTERNET_FLAG_SECURE) != 0 ? 443 : 80);
  std::vector<std::string> lines{
      request.verb + ' ' + request.objectName + (request.http10 ? " HTTP/1.0" : " HTTP/1.1"),
      "Host: " + connection.host + (defaultPort ? std::string() : ':' + std::to_string(connection.port)),
      "Accept: */*"};
  if (!connection.agent.empty()) lines.push_back("User-Agent: " + connection.agent);
  lines.insert(lines.end(), extra.begin(), extra.end());
  return lines;
}

}  // namespace

HINTERNET HttpOpenRequestA(HINTERNET connect, const char* verb, const char* objectName, const char* version,
                           const char* /*referrer*/, const char** /*acceptTypes*/, DWORD flags,
                           DWORD_PTR /*context*/) {
  const auto connection = inet::FindObject(connect, inet::ObjectKind::HttpConnection);
  if (connection == nullptr) return nullptr;
  const std::string_view method = verb != nullptr ? verb : "GET";
  const std::string_view httpVersion = version != nullptr ? version : "HTTP/1.1";
  if (!IsToken(method) || (httpVersion != "HTTP/1.0" && httpVersion != "HTTP/1.1")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::optional<std::string> path = inet::EscapedObjectName(objectName != nullptr ? objectName : "");
  if (!path) {
    SetLastError(ERROR_INTERNET_INVALID_URL);
    return nullptr;
  }
  try {
    auto request = std::make_shared<inet::InternetObject>();
    request->kind = inet::ObjectKind::Request;
    request->parent = connect;
    request->verb = std::string(method);
    request->objectName = std::move(*path);
    request->http10 = httpVersion == "HTTP/1.0";
    request->flags = flags;
    return inet::AddObject(std::move(request));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength, const void* /*optional*/,
                      DWORD optionalLength) {
  const auto object = inet::FindObject(request, inet::ObjectKind::Request);
  if (object == nullptr) return FALSE;
  if (object->sent) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  if (optionalLength != 0) return Fail(ERROR_INVALID_PARAMETER);
  const auto connection = inet::FindObject(object->parent, inet::ObjectKind::HttpConnection);
  if (connection == nullptr) return FALSE;
  try {
    inet::HttpRequestSettings settings = SettingsFor(*connection, *object);
    settings.headers = HeaderLines(headers, headersLength);
    object->requestHeaderLines = RequestLines(*connection, *object, settings.headers);
    object->sent = true;
    object->transfer = std::make_unique<inet::HttpTransfer>();
    const DWORD error = object->transfer->Start(settings);
    if (error != 0) return Fail(error);
    return TRUE;
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
  if (bytesRead == nullptr || (buffer == nullptr && bytesToRead > 0)) return Fail(ERROR_INVALID_PARAMETER);
  *bytesRead = 0;
  const auto object = inet::FindObject(file, inet::ObjectKind::Request);
  if (object == nullptr) return FALSE;
  if (object->transfer == nullptr) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  if (bytesToRead == 0) return TRUE;
  try {
    const DWORD error = object->transfer->Read(static_cast<std::uint8_t*>(buffer), bytesToRead, *bytesRead);
    if (error != 0) return Fail(error);
    return TRUE;
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

}  // namespace pixavue::platform
