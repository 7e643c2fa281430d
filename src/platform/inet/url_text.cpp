// URL text: server names, object names and FTP paths.

#include "url_text.h"

#include <algorithm>

namespace pixavue::platform::inet {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// Bytes an HTTP path may carry as they are (RFC 3986 pchar, "/" and "?").
bool IsPathByte(unsigned char c) {
  return IsUnreserved(c) || std::string_view("!$&'()*+,;=:@/?%").find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscaped(std::string& out, unsigned char c) {
  out += '%';
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0xF];
}

bool HasControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); });
}

}  // namespace

bool IsServerName(std::string_view name) {
  if (name.empty()) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte >= 0x7F || std::string_view("/?#@\\[]").find(c) != std::string_view::npos;
  });
}

std::string Origin(std::string_view scheme, std::string_view server, unsigned port) {
  std::string origin(scheme);
  origin += "://";
  const bool ipv6 = server.find(':') != std::string_view::npos;
  if (ipv6) origin += '[';
  origin += server;
  if (ipv6) origin += ']';
  origin += ':';
  origin += std::to_string(port);
  return origin;
}

std::optional<std::string> EscapedObjectName(std::string_view objectName) {
  if (HasControl(objectName)) return std::nullopt;
  std::string path;
  path.reserve(objectName.size() + 1);
  if (objectName.empty() || objectName.front() != '/') path += '/';
  for (const char c : objectName) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsPathByte(byte)) {
      path += c;
    } else {
      AppendEscaped(path, byte);
    }
  }
  return path;
}

std::optional<std::string> FtpUrlPath(std::string_view remoteFile) {
  if (remoteFile.empty() || HasControl(remoteFile)) return std::nullopt;
  // After the origin's "/", a leading "/" of the remote name makes an
  // empty first segment: the walk starts at the root.
  std::string path = "/";
  for (const char c : remoteFile) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte) || c == '/') {
      path += c;
    } else {
      AppendEscaped(path, byte);
    }
  }
  return path;
}

}  // namespace pixavue::platform::inet
