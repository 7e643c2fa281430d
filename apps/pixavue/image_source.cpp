#include "image_source.h"

#include <pixavue/support/ascii_case.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iostream>

namespace pixavue::app {
namespace {

constexpr int kBarWidth = 40;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes decoded; a "%" not followed by two hex digits stays.
std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// "host", "host:port", "[v6]" or "[v6]:port"; false for a bad port.
bool SplitHostPort(std::string_view authority, std::string& host, std::int32_t& port) {
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = std::string(authority.substr(1, close - 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return false;
      portText = authority.substr(close + 2);
    }
  } else {
    const std::size_t colon = authority.rfind(':');
    host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
  }
  if (portText.empty()) return !host.empty();
  if (portText.size() > 5 || !std::all_of(portText.begin(), portText.end(), ::isdigit)) return false;
  port = std::stoi(std::string(portText));
  return !host.empty() && port > 0 && port < 65536;
}

// Draws "[#####.....]  45%  1234 / 5678 bytes" over the previous one.
class ProgressBar final : public ImageBoxEvents {
 public:
  void DataReceived(std::int32_t percent, std::int32_t left, std::int32_t total) override {
    const int filled = std::clamp(percent, 0, 100) * kBarWidth / 100;
    std::cerr << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] " << percent
              << "%  " << (total - left) << " / " << total << " bytes" << std::flush;
    drawn_ = true;
  }
  ~ProgressBar() override {
    if (drawn_) std::cerr << '\n';
  }

 private:
  bool drawn_ = false;
};

QuorvexStatus DisplayFromServer(headless::HeadlessControl& control, const ServerImage& image) {
  if (image.kind == ServerImage::Kind::Ftp) {
    return control->DisplayFromFTP(image.host, image.path, image.user, image.password, image.port);
  }
  if (::isatty(STDERR_FILENO) == 0) return control->DisplayFromURL(image.host, image.path, image.port);
  ProgressBar bar;
  control->Advise(&bar);
  const QuorvexStatus status = control->DisplayFromURL(image.host, image.path, image.port);
  control->Advise(&control.Events());
  return status;
}

}  // namespace

std::optional<ServerImage> ParseImageUrl(std::string_view text, std::string& refusal) {
  ServerImage image;
  std::string_view rest;
  if (StartsWithNoCase(text, "http://")) {
    rest = text.substr(7);
  } else if (StartsWithNoCase(text, "https://")) {
    rest = text.substr(8);
    image.port = 443;
  } else if (StartsWithNoCase(text, "ftp://")) {
    rest = text.substr(6);
    image.kind = ServerImage::Kind::Ftp;
    image.port = 21;
  } else {
    return std::nullopt;
  }
  const std::size_t slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  const std::string_view path = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    const std::string_view login = authority.substr(0, at);
    const std::size_t colon = login.find(':');
    image.user = Unescaped(login.substr(0, colon));
    if (colon != std::string_view::npos) image.password = Unescaped(login.substr(colon + 1));
    authority = authority.substr(at + 1);
  }
  const std::int32_t defaultPort = image.port;
  if (!SplitHostPort(authority, image.host, image.port)) {
    refusal = "no host, or a bad port, in " + std::string(text);
    return image;
  }
  if (defaultPort == 443 && image.port != 443) refusal = "https is only served on port 443";
  // FTP paths are the remote file's name (relative to the login folder);
  // HTTP paths go to the server as they are written.
  image.path = image.kind == ServerImage::Kind::Ftp ? Unescaped(path.substr(1)) : std::string(path);
  return image;
}

QuorvexStatus DisplaySource(headless::HeadlessControl& control, const std::string& source, std::ostream& err) {
  std::string refusal;
  const std::optional<ServerImage> image = ParseImageUrl(source, refusal);
  if (!image) return control->DisplayFromFile(source);
  if (!refusal.empty()) {
    err << "pixavue: " << refusal << '\n';
    return QuorvexStatus::InvalidParameter;
  }
  return DisplayFromServer(control, *image);
}

}  // namespace pixavue::app
