// cInet: the session, its HTTP request, header queries and the body read.

#include <pixavue/net/c_inet.h>

#include <algorithm>
#include <array>
#include <string>

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/window/message_queue.h>

namespace pixavue::net {
namespace {

using platform::DWORD;

constexpr std::int32_t kSecurePort = 443;
constexpr DWORD kStringQuery = 0x80000000;
constexpr DWORD kNumberQuery = 0x20000000;
constexpr DWORD kNoQuery = 0x10000000;
constexpr DWORD kDateLevelBits = 0xB;

// Request flags by verb (compared exactly) and port.
DWORD RequestFlags(std::string_view action, std::int32_t port) {
  const bool secure = port == kSecurePort;
  const DWORD secureFlags = platform::INTERNET_FLAG_SECURE | platform::INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
  if (action == "GET") return secure ? secureFlags : platform::INTERNET_FLAG_RELOAD;
  if (action == "PUT") return platform::INTERNET_FLAG_NO_CACHE_WRITE | (secure ? secureFlags : 0);
  return 0;
}

std::string Text(std::string_view text) { return std::string(text); }

}  // namespace

cInet::cInet() {
  hInternet_ = platform::InternetOpenA("quorvex", platform::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (hInternet_ == nullptr) RecordLastError();
}

cInet::~cInet() {
  if (hInternet_ != nullptr) platform::InternetCloseHandle(hInternet_);
}

void cInet::RecordLastError() { lLastError_ = static_cast<std::int32_t>(platform::GetLastError()); }

platform::HINTERNET cInet::Request(std::string_view sAction, std::string_view sHost, std::string_view sDirAndFile,
                                   std::int32_t ePort, std::int32_t eService) {
  hSession_ = platform::InternetConnectA(hInternet_, Text(sHost).c_str(), static_cast<platform::INTERNET_PORT>(ePort),
                                         nullptr, nullptr, static_cast<DWORD>(eService), 0, 0);
  if (hSession_ == nullptr) {
    RecordLastError();
    return nullptr;
  }
  platform::HINTERNET request =
      platform::HttpOpenRequestA(hSession_, Text(sAction).c_str(), Text(sDirAndFile).c_str(), "HTTP/1.0", nullptr,
                                 nullptr, RequestFlags(sAction, ePort), 0);
  if (request == nullptr) {
    RecordLastError();
    return nullptr;
  }
  hRequest_ = request;
  return request;
}

platform::HINTERNET cInet::FtpOpenSession(std::string_view sHost, std::int32_t ePort, std::string_view sLogin,
                                          std::string_view sPassword) {
  const DWORD flags = bFtpPassiveMode ? platform::INTERNET_FLAG_PASSIVE : 0;
  hSession_ = platform::InternetConnectA(hInternet_, Text(sHost).c_str(), static_cast<platform::INTERNET_PORT>(ePort),
                                         Text(sLogin).c_str(), Text(sPassword).c_str(),
                                         platform::INTERNET_SERVICE_FTP, flags, 0);
  if (hSession_ == nullptr) RecordLastError();
  return hSession_;
}

bool cInet::SendRequest(std::string_view sHeaders, std::string_view sData) {
  const std::string headers = Text(sHeaders);
  const std::string data = Text(sData);
  const platform::BOOL sent =
      platform::HttpSendRequestA(hRequest_, headers.c_str(), static_cast<DWORD>(headers.size()), data.c_str(),
                                 static_cast<DWORD>(data.size()));
  bSendResult_ = static_cast<std::int16_t>(sent);
  if (sent == platform::FALSE) RecordLastError();
  return sent != platform::FALSE;
}

bool cInet::QueryInfo(std::int32_t eQuery, std::string& sBuffer, std::int32_t& lBuffer) {
  const auto level = static_cast<DWORD>(eQuery);
  DWORD index = 0;
  if ((level & kStringQuery) != 0) {
    std::string buffer = sBuffer;
    DWORD length = static_cast<DWORD>(buffer.size());
    if (platform::HttpQueryInfoA(hRequest_, level, buffer.data(), &length, &index) == platform::FALSE) return false;
    sBuffer = std::move(buffer);
    return true;
  }
  if ((level & kNumberQuery) != 0) {
    DWORD number = static_cast<DWORD>(lBuffer);
    DWORD length = sizeof(number);
    if (platform::HttpQueryInfoA(hRequest_, level, &number, &length, &index) == platform::FALSE) return false;
    lBuffer = static_cast<std::int32_t>(number);
    return true;
  }
  if ((level & kNoQuery) != 0 || (level & kDateLevelBits) != kDateLevelBits) return false;
  platform::SYSTEMTIME time;
  DWORD length = sizeof(time);
  if (platform::HttpQueryInfoA(hRequest_, level, &time, &length, &index) == platform::FALSE) return false;
  const std::array fields{time.wYear, time.wDay, time.wDayOfWeek, time.wMonth,
                          time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
  std::string text;
  for (const platform::WORD field : fields) {
    if (!text.empty()) text += ' ';
    text += std::to_string(field);
  }
  sBuffer = std::move(text);
  return true;
}

// The whole buffer is allocated before the first read; each read asks for
// at most the bytes still missing. A chunk size of 0 or less reads nothing,
// which ends the loop after its first event.
bool cInet::ReadArray(std::vector<std::uint8_t>& bData, std::int32_t lLength) {
  bStopReadArray = false;
  if (lLength <= 0) return true;
  bData.assign(static_cast<std::size_t>(lLength), 0);
  std::int32_t remaining = lLength;
  for (;;) {
    const std::int32_t chunk = std::min(m_BufferSize, remaining);
    DWORD bytesRead = 0;
    if (chunk > 0) {
      platform::InternetReadFile(hRequest_, bData.data() + (lLength - remaining), static_cast<DWORD>(chunk),
                                 &bytesRead);
    }
    remaining -= static_cast<std::int32_t>(bytesRead);
    // In whole numbers, so that 58 % left is never 57.99... %.
    const auto percentLeft = static_cast<std::int32_t>(static_cast<std::int64_t>(remaining) * 100 / lLength);
    if (sink_ != nullptr) sink_->PacketReceieved(percentLeft, remaining, lLength);
    platform::DoEvents();
    if (bytesRead == 0) break;
    if (remaining <= 0 || bStopReadArray) break;
  }
  return !bStopReadArray;
}

}  // namespace pixavue::net
