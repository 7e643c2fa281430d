#pragma once
// What the program loads: a file, or an image on a web or FTP server named
// by a URL (http://host[:port]/path, https://host/path on port 443,
// ftp://[user[:password]@]host[:port]/path with the path relative to the
// login folder), with a progress bar on standard error while an HTTP body
// arrives, when standard error is a terminal.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <pixavue/hosts/headless/headless_control.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::app {

struct ServerImage {
  enum class Kind { Http, Ftp } kind = Kind::Http;
  std::string host;
  std::int32_t port = 80;
  std::string path;
  std::string user;
  std::string password;
};

// The server image a URL names; nothing for a text that is not an http,
// https or ftp URL. `refusal` explains a URL of such a scheme that cannot
// be loaded (an https port other than 443, no host).
std::optional<ServerImage> ParseImageUrl(std::string_view text, std::string& refusal);

// Loads the file or URL into the control; InvalidParameter for a URL that
// cannot be loaded (with the reason on err).
QuorvexStatus DisplaySource(headless::HeadlessControl& control, const std::string& source, std::ostream& err);

}  // namespace pixavue::app
