#pragma once
// URLs built from the parts the session API takes: a server name, a port
// and an object name or remote path.

#include <optional>
#include <string>
#include <string_view>

namespace pixavue::platform::inet {

// A server name a URL can carry: not empty, without blanks, control
// characters or URL delimiters ("/", "?", "#", "@", "\"). An IPv6 address
// is allowed and gets its brackets in the URL.
bool IsServerName(std::string_view name);

// "scheme://server:port", the server in brackets when it is an IPv6 address.
std::string Origin(std::string_view scheme, std::string_view server, unsigned port);

// The object name of an HTTP request as it goes into a URL: beginning with
// "/", blanks and bytes outside URLs escaped, "%" escapes kept; nothing
// when it holds control characters (which would end the request line).
std::optional<std::string> EscapedObjectName(std::string_view objectName);

// The path of an FTP URL for a remote file: relative to the login folder,
// or from the root when it begins with "/"; every byte but "/" and the
// unreserved ones escaped. Nothing for an empty name or control characters.
std::optional<std::string> FtpUrlPath(std::string_view remoteFile);

}  // namespace pixavue::platform::inet
