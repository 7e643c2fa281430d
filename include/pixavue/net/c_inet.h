#pragma once
// cInet: one internet session for one download. Creation opens the root
// handle (agent "quorvex", the system's proxy settings); Request and
// SendRequest make one HTTP request, QueryInfo reads a header of its
// response and ReadArray its body, chunk by chunk, raising PacketReceieved
// after each chunk and letting the thread's pending messages run;
// FtpOpenSession makes an FTP connection for the caller's own copy.
// Release closes the root handle and with it every handle below.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <pixavue/platform/inet/wininet.h>

namespace pixavue::net {

// Receives the session's event.
class cInetEvents {
 public:
  virtual ~cInetEvents() = default;
  // After each chunk: the share of the body still to be read in whole
  // percent, the bytes still to be read and the whole length.
  virtual void PacketReceieved(std::int32_t nPercentProgress, std::int32_t nLeftToTransfer,
                               std::int32_t nTotalLength) = 0;

 protected:
  cInetEvents() = default;
  cInetEvents(const cInetEvents&) = default;
  cInetEvents& operator=(const cInetEvents&) = default;
};

class cInet final {
 public:
  static constexpr std::int32_t kDefaultBufferSize = 1024;

  cInet();
  ~cInet();
  cInet(const cInet&) = delete;
  cInet& operator=(const cInet&) = delete;

  // The event sink (null: none); it must outlive the connection.
  void Advise(cInetEvents* sink) { sink_ = sink; }

  // Set to end ReadArray after the chunk it is reading; ReadArray clears it
  // when it starts.
  bool bStopReadArray = false;
  // FtpOpenSession asks for passive FTP.
  bool bFtpPassiveMode = true;

  platform::HINTERNET hInternet() const { return hInternet_; }
  platform::HINTERNET hSession() const { return hSession_; }
  // Bytes asked for by one read. A size of 0 or less reads nothing:
  // ReadArray then ends after its first, empty chunk.
  void put_BufferSize(std::int32_t nNewValue) { m_BufferSize = nNewValue; }
  // The result of the last send and the error recorded after the last
  // failed open, connect, request open or send.
  std::int16_t bSendResult() const { return bSendResult_; }
  std::int32_t lLastError() const { return lLastError_; }

  // Connects and opens a request (flags by verb and port: port 443 alone
  // makes it secure); the request handle, 0 on failure, with hSession 0
  // when the connect failed.
  platform::HINTERNET Request(std::string_view sAction, std::string_view sHost, std::string_view sDirAndFile,
                              std::int32_t ePort, std::int32_t eService);
  // Connects and logs in to an FTP server; the connection handle, which the
  // caller closes, or 0.
  platform::HINTERNET FtpOpenSession(std::string_view sHost, std::int32_t ePort, std::string_view sLogin,
                                     std::string_view sPassword);
  bool SendRequest(std::string_view sHeaders, std::string_view sData);
  // Bit 31 set: a string query into sBuffer, sized by the caller; else bit
  // 29: a number query into lBuffer; else bit 28: false; else a level whose
  // low bits include 0xB: a date query, sBuffer receiving "year day
  // day-of-week month hour minute second milliseconds"; else false. A
  // failed query leaves both buffers as they were.
  bool QueryInfo(std::int32_t eQuery, std::string& sBuffer, std::int32_t& lBuffer);
  // Reads up to lLength bytes into bData (resized to lLength, zeros where
  // nothing arrived); true unless stopped. lLength of 0 or less: true at
  // once, bData untouched.
  bool ReadArray(std::vector<std::uint8_t>& bData, std::int32_t lLength);
  // An English text for an error number.
  std::string TranslateErrorCode(std::int32_t lErrorCode) const;

 private:
  void RecordLastError();

  cInetEvents* sink_ = nullptr;
  std::int32_t m_BufferSize = kDefaultBufferSize;
  platform::HINTERNET hInternet_ = nullptr;
  platform::HINTERNET hSession_ = nullptr;
  platform::HINTERNET hRequest_ = nullptr;
  std::int16_t bSendResult_ = 0;
  std::int32_t lLastError_ = 0;
};

// The system's text for an error number, trimmed of blanks; "Unknown Error"
// when it has none.
std::string SystemErrorText(std::int32_t lErrorCode);

}  // namespace pixavue::net
