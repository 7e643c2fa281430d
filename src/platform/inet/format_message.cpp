// The system's error texts, for the numbers the platform layer leaves in
// the last error and the common numbers of the system it stands for.

#include <pixavue/platform/inet/format_message.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

namespace pixavue::platform {
namespace {

struct SystemText {
  DWORD code;
  std::string_view text;
};

constexpr std::array kSystemTexts{
    SystemText{0, "The operation completed successfully."},
    SystemText{1, "Incorrect function."},
    SystemText{2, "The system cannot find the file specified."},
    SystemText{3, "The system cannot find the path specified."},
    SystemText{5, "Access is denied."},
    SystemText{6, "The handle is invalid."},
    SystemText{8, "Not enough memory resources are available to process this command."},
    SystemText{14, "Not enough memory resources are available to complete this operation."},
    SystemText{80, "The file exists."},
    SystemText{87, "The parameter is incorrect."},
    SystemText{122, "The data area passed to a system call is too small."},
    SystemText{1460, "This operation returned because the timeout period expired."},
    SystemText{10054, "An existing connection was forcibly closed by the remote host."},
    SystemText{10060, "A connection attempt failed because the connected party did not properly respond after a "
                      "period of time, or established connection failed because connected host has failed to "
                      "respond."},
    SystemText{10061, "No connection could be made because the target machine actively refused it."},
};

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD /*languageId*/, char* buffer,
                     DWORD size, void* arguments) {
  if (flags != FORMAT_MESSAGE_FROM_SYSTEM || source != nullptr || arguments != nullptr || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto* entry = std::find_if(kSystemTexts.begin(), kSystemTexts.end(),
                                   [messageId](const SystemText& text) { return text.code == messageId; });
  if (entry == kSystemTexts.end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  const std::size_t length = entry->text.size() + kLineEnd.size();
  if (length + 1 > size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, entry->text.data(), entry->text.size());
  std::memcpy(buffer + entry->text.size(), kLineEnd.data(), kLineEnd.size());
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

}  // namespace pixavue::platform
