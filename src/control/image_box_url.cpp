// Images from web servers: the body of one HTTP GET, read into memory with
// progress events, shown through the byte-array loader.

#include <pixavue/control/image_box.h>
#include <pixavue/net/c_inet.h>
#include <pixavue/support/ascii_case.h>

#include <string>
#include <vector>

#include "download_session.h"
#include "guarded_call.h"

namespace pixavue {
namespace {

constexpr std::int32_t kContentLengthQuery =
    static_cast<std::int32_t>(platform::HTTP_QUERY_CONTENT_LENGTH | platform::HTTP_QUERY_FLAG_NUMBER);

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A "HTTP://" and then a "HTTPS://" prefix (any letter case, blanks around
// the host) is dropped with the blanks; a host without one is kept as it is.
std::string HostWithoutScheme(std::string_view host) {
  std::string result(host);
  if (StartsWithNoCase(TrimBlanks(result), "HTTP://")) result = std::string(TrimBlanks(result).substr(7));
  if (StartsWithNoCase(TrimBlanks(result), "HTTPS://")) result = std::string(TrimBlanks(result).substr(8));
  return result;
}

}  // namespace

QuorvexStatus ImageBox::DisplayFromURL(std::string_view sHost, std::string_view sPath, std::int32_t nHTTPPort) {
  if (state_.DownloadInProgress) return state_.LastStatus;
  net::cInet inet;
  const SessionSlot slot(m_inet, inet);
  ResetForNewImage(false);
  if (inet.hInternet() == nullptr) {
    state_.LastStatus = QuorvexStatus::InternetOpenError;
    return state_.LastStatus;
  }
  state_.DownloadInProgress = true;
  const QuorvexStatus status = Guarded([&] { return DownloadBody(inet, sHost, sPath, nHTTPPort); });
  state_.DownloadInProgress = false;
  state_.LastStatus = status;
  return status;
}

// The body's buffer lives only until the byte-array loader has it in its
// own file; a stopped download discards it.
QuorvexStatus ImageBox::DownloadBody(net::cInet& inet, std::string_view host, std::string_view path,
                                     std::int32_t port) {
  inet.put_BufferSize(state_.HttpBufferSize);
  ProgressRelay relay([this](std::int32_t percentLeft, std::int32_t left, std::int32_t total) {
    m_inet_PacketReceieved(percentLeft, left, total);
  });
  inet.Advise(&relay);
  const std::string server = HostWithoutScheme(host);
  if (inet.Request("GET", server, path, port, static_cast<std::int32_t>(platform::INTERNET_SERVICE_HTTP)) ==
      nullptr) {
    return inet.hSession() == nullptr ? QuorvexStatus::InternetConnectError
                                      : QuorvexStatus::InternetHttpOpenRequestError;
  }
  if (!inet.SendRequest("", "")) return QuorvexStatus::InternetHttpSendRequestError;
  std::string text;
  std::int32_t length = 0;
  if (!inet.QueryInfo(kContentLengthQuery, text, length)) return QuorvexStatus::InternetHttpQueryError;
  // A length the buffer could not sensibly hold is refused before any
  // allocation.
  if (length < 1 || length > kLargestDownload) return QuorvexStatus::InternetHttpInvalidFileLength;
  std::vector<std::uint8_t> bytes;
  if (!inet.ReadArray(bytes, length)) return QuorvexStatus::InternetHttpTransferError;
  inet.Advise(nullptr);
  return static_cast<QuorvexStatus>(DisplayFromByteArray(bytes));
}

void ImageBox::m_inet_PacketReceieved(std::int32_t nPercentProgress, std::int32_t nLeftToTransfer,
                                      std::int32_t nTotalLength) {
  Events().DataReceived(100 - nPercentProgress, nLeftToTransfer, nTotalLength);
}

void ImageBox::DisplayFromURLStop() {
  if (state_.DownloadInProgress && m_inet != nullptr) m_inet->bStopReadArray = true;
}

}  // namespace pixavue
