// Header queries of a sent request: the response's headers (or, with
// HTTP_QUERY_FLAG_REQUEST_HEADERS, the request's) as text, as a number or
// as a date.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <curl/curl.h>

#include <array>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "internet_objects.h"

namespace pixavue::platform {
namespace {

constexpr DWORD kLevelMask = 0xFFFF;
constexpr DWORD ERROR_HTTP_INVALID_HEADER = 12153;
constexpr DWORD HTTP_QUERY_VERSION = 18;
constexpr DWORD HTTP_QUERY_RAW_HEADERS = 21;

// Header names by query level; "" for levels that are not a header line.
constexpr std::array<std::string_view, 45> kHeaderNames{
    "MIME-Version", "Content-Type", "Content-Transfer-Encoding", "Content-ID", "Content-Description",
    "Content-Length", "Content-Language", "Allow", "Public", "Date", "Expires", "Last-Modified", "Message-ID",
    "URI", "Derived-From", "Cost", "Link", "Pragma", "", "", "", "", "", "Connection", "Accept",
    "Accept-Charset", "Accept-Encoding", "Accept-Language", "Authorization", "Content-Encoding", "Forwarded",
    "From", "If-Modified-Since", "Location", "Orig-URI", "Referer", "Retry-After", "Server", "Title",
    "User-Agent", "WWW-Authenticate", "Proxy-Authenticate", "Accept-Ranges", "Set-Cookie", "Cookie"};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The index-th value of the named header.
std::optional<std::string> HeaderValue(const std::vector<std::string>& lines, std::string_view name, DWORD index) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !SameName(Trimmed(line.substr(0, colon)), name)) continue;
    if (index-- == 0) return std::string(Trimmed(line.substr(colon + 1)));
  }
  return std::nullopt;
}

// The parts of the status line "HTTP/1.0 200 OK": 0 version, 1 code, 2 text.
std::optional<std::string> StatusPart(const std::vector<std::string>& lines, int part) {
  if (lines.empty()) return std::nullopt;
  const std::string_view line = lines.front();
  const std::size_t first = line.find(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = line.find(' ', first + 1);
  if (part == 0) return std::string(line.substr(0, first));
  if (part == 1) return std::string(line.substr(first + 1, second == std::string_view::npos ? line.npos : second - first - 1));
  return second == std::string_view::npos ? std::string() : std::string(line.substr(second + 1));
}

std::string Joined(const std::vector<std::string>& lines, std::string_view separator) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += separator;
  }
  if (separator.size() == 1) text += separator;  // a raw header block ends with two zero bytes
  return text;
}

std::optional<std::string> QueryText(const std::vector<std::string>& lines, DWORD level, DWORD index) {
  switch (level) {
    case HTTP_QUERY_VERSION: return index == 0 ? StatusPart(lines, 0) : std::nullopt;
    case HTTP_QUERY_STATUS_CODE: return index == 0 ? StatusPart(lines, 1) : std::nullopt;
    case HTTP_QUERY_STATUS_TEXT: return index == 0 ? StatusPart(lines, 2) : std::nullopt;
    case HTTP_QUERY_RAW_HEADERS: return index == 0 ? std::optional(Joined(lines, std::string_view("\0", 1))) : std::nullopt;
    case HTTP_QUERY_RAW_HEADERS_CRLF: return index == 0 ? std::optional(Joined(lines, "\r\n")) : std::nullopt;
    default: break;
  }
  if (level >= kHeaderNames.size() || kHeaderNames[level].empty()) return std::nullopt;
  return HeaderValue(lines, kHeaderNames[level], index);
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Decimal digits after optional blanks; larger values saturate.
std::optional<DWORD> ParseNumber(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), 0xFFFFFFFFull);
  }
  return static_cast<DWORD>(value);
}

std::optional<SYSTEMTIME> ParseDate(const std::string& text) {
  const std::time_t when = curl_getdate(text.c_str(), nullptr);
  std::tm parts{};
  if (when == -1 || gmtime_r(&when, &parts) == nullptr) return std::nullopt;
  SYSTEMTIME time;
  time.wYear = static_cast<WORD>(parts.tm_year + 1900);
  time.wMonth = static_cast<WORD>(parts.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  time.wDay = static_cast<WORD>(parts.tm_mday);
  time.wHour = static_cast<WORD>(parts.tm_hour);
  time.wMinute = static_cast<WORD>(parts.tm_min);
  time.wSecond = static_cast<WORD>(parts.tm_sec);
  return time;
}

BOOL CopyOut(const void* value, DWORD size, void* buffer, DWORD* bufferLength) {
  if (*bufferLength < size) {
    *bufferLength = size;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, value, size);
  *bufferLength = size;
  return TRUE;
}

BOOL CopyText(const std::string& text, void* buffer, DWORD* bufferLength) {
  const auto size = static_cast<DWORD>(text.size());
  if (*bufferLength < size + 1) {
    *bufferLength = size + 1;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, text.c_str(), size + 1);
  *bufferLength = size;
  return TRUE;
}

BOOL Answer(const std::string& text, DWORD modifiers, void* buffer, DWORD* bufferLength) {
  if ((modifiers & HTTP_QUERY_FLAG_NUMBER) != 0) {
    const std::optional<DWORD> number = ParseNumber(text);
    if (!number) return Fail(ERROR_HTTP_INVALID_HEADER);
    return CopyOut(&*number, sizeof(DWORD), buffer, bufferLength);
  }
  if ((modifiers & HTTP_QUERY_FLAG_SYSTEMTIME) != 0) {
    const std::optional<SYSTEMTIME> time = ParseDate(text);
    if (!time) return Fail(ERROR_HTTP_INVALID_HEADER);
    return CopyOut(&*time, sizeof(SYSTEMTIME), buffer, bufferLength);
  }
  return CopyText(text, buffer, bufferLength);
}

}  // namespace

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength, DWORD* index) {
  const auto object = inet::FindObject(request, inet::ObjectKind::Request);
  if (object == nullptr) return FALSE;
  if (bufferLength == nullptr || (buffer == nullptr && *bufferLength > 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (object->transfer == nullptr) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  const DWORD modifiers = infoLevel & ~kLevelMask;
  const DWORD number = HTTP_QUERY_FLAG_NUMBER | HTTP_QUERY_FLAG_SYSTEMTIME;
  if ((modifiers & number) == number) return Fail(ERROR_HTTP_INVALID_QUERY_REQUEST);
  const std::vector<std::string>& lines = (modifiers & HTTP_QUERY_FLAG_REQUEST_HEADERS) != 0
                                              ? object->requestHeaderLines
                                              : object->transfer->HeaderLines();
  const DWORD position = index != nullptr ? *index : 0;
  const std::optional<std::string> text = QueryText(lines, infoLevel & kLevelMask, position);
  if (!text) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
  if (!Answer(*text, modifiers, buffer, bufferLength)) return FALSE;
  if (index != nullptr) ++*index;
  return TRUE;
}

}  // namespace pixavue::platform
