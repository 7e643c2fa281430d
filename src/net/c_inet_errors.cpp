// cInet's English texts for the internet error numbers, and the system's
// texts for every other number.

#include <pixavue/net/c_inet.h>

#include <algorithm>
#include <array>
#include <string_view>

#include <pixavue/platform/inet/format_message.h>

namespace pixavue::net {
namespace {

struct ErrorText {
  std::int32_t code;
  std::string_view text;
};

// Some texts end in a blank and 12156 has no full stop: the texts are kept
// as callers have always received them.
constexpr std::array kErrorTexts{
    ErrorText{12001, "No more handles could be generated at this time"},
    ErrorText{12002, "The request has timed out."},
    ErrorText{12003, "An extended error was returned from the server."},
    ErrorText{12004, "An internal error has occurred."},
    ErrorText{12005, "The URL is invalid."},
    ErrorText{12006, "The URL scheme could not be recognized, or is not supported."},
    ErrorText{12007, "The server name could not be resolved."},
    ErrorText{12008, "The requested protocol could not be located."},
    ErrorText{12009, "A request to InternetQueryOption or InternetSetOption specified an invalid option value."},
    ErrorText{12010, "The length of an option supplied to InternetQueryOption or InternetSetOption is incorrect "
                     "for the type of option specified."},
    ErrorText{12011, "The request option can not be set, only queried. "},
    ErrorText{12012, "The Win32 Internet support is being shutdown or unloaded."},
    ErrorText{12013, "The request to connect and login to an FTP server could not be completed because the "
                     "supplied user name is incorrect."},
    ErrorText{12014, "The request to connect and login to an FTP server could not be completed because the "
                     "supplied password is incorrect. "},
    ErrorText{12015, "The request to connect to and login to an FTP server failed."},
    ErrorText{12016, "The requested operation is invalid. "},
    ErrorText{12017, "The operation was canceled, usually because the handle on which the request was operating "
                     "was closed before the operation completed."},
    ErrorText{12018, "The type of handle supplied is incorrect for this operation."},
    ErrorText{12019, "The requested operation can not be carried out because the handle supplied is not in the "
                     "correct state."},
    ErrorText{12020, "The request can not be made via a proxy."},
    ErrorText{12021, "A required registry value could not be located. "},
    ErrorText{12022, "A required registry value was located but is an incorrect type or has an invalid value."},
    ErrorText{12023, "Direct network access cannot be made at this time. "},
    ErrorText{12024, "An asynchronous request could not be made because a zero context value was supplied."},
    ErrorText{12025, "An asynchronous request could not be made because a callback function has not been set."},
    ErrorText{12026, "The required operation could not be completed because one or more requests are pending."},
    ErrorText{12027, "The format of the request is invalid."},
    ErrorText{12028, "The requested item could not be located."},
    ErrorText{12029, "The attempt to connect to the server failed."},
    ErrorText{12030, "The connection with the server has been terminated."},
    ErrorText{12031, "The connection with the server has been reset."},
    ErrorText{12032, "Calls for the Win32 Internet function to redo the request."},
    ErrorText{12033, "The request to the proxy was invalid."},
    ErrorText{12036, "The request failed because the handle already exists."},
    ErrorText{12037, "SSL certificate date that was received from the server is bad. The certificate is expired."},
    ErrorText{12038, "SSL certificate common name (host name field) is incorrect. For example, you entered "
                     "www.example.org as the server name, but the certificate was issued to shop.example.net."},
    ErrorText{12039, "The application is moving from a non-SSL to an SSL connection because of a redirect."},
    ErrorText{12040, "The application is moving from an SSL to an non-SSL connection because of a redirect."},
    ErrorText{12041, "Indicates that the content is not entirely secure. Some of the content being viewed may "
                     "have come from unsecured servers."},
    ErrorText{12042, "The application is posting and attempting to change multiple lines of text on a server "
                     "that is not secure."},
    ErrorText{12043, "The application is posting data to a sever that is not secure."},
    ErrorText{12110, "The requested operation cannot be made on the FTP session handle because an operation is "
                     "already in progress."},
    ErrorText{12111, "The FTP operation was not completed because the session was aborted."},
    ErrorText{12130, "An error was detected while parsing data returned from the gopher server."},
    ErrorText{12131, "The request must be made for a file locator."},
    ErrorText{12132, "An error was detected while receiving data from the gopher server."},
    ErrorText{12133, "The end of the data has been reached."},
    ErrorText{12134, "The supplied locator is not valid."},
    ErrorText{12135, "The type of the locator is not correct for this operation."},
    ErrorText{12136, "The requested operation can only be made against a Gopher+ server or with a locator that "
                     "specifies a Gopher+ operation."},
    ErrorText{12137, "The requested attribute could not be located."},
    ErrorText{12138, "The locator type is unknown."},
    ErrorText{12150, "The requested header could not be located."},
    ErrorText{12151, "The server did not return any headers."},
    ErrorText{12152, "The server response could not be parsed."},
    ErrorText{12153, "The supplied header is invalid."},
    ErrorText{12154, "The request made to HttpQueryInfo is invalid."},
    ErrorText{12155, "The header could not be added because it already exists."},
    ErrorText{12156, "The redirection failed because either the scheme changed"},
};

constexpr platform::DWORD kSystemTextSize = 256;

}  // namespace

std::string cInet::TranslateErrorCode(std::int32_t lErrorCode) const {
  const auto* entry = std::find_if(kErrorTexts.begin(), kErrorTexts.end(),
                                   [lErrorCode](const ErrorText& text) { return text.code == lErrorCode; });
  if (entry != kErrorTexts.end()) return std::string(entry->text);
  return SystemErrorText(lErrorCode);
}

// The buffer starts as blanks; what the system wrote is cut out of them.
std::string SystemErrorText(std::int32_t lErrorCode) {
  std::string buffer(kSystemTextSize, ' ');
  const platform::DWORD written =
      platform::FormatMessageA(platform::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<platform::DWORD>(lErrorCode),
                               0, buffer.data(), kSystemTextSize, nullptr);
  if (written > 0) buffer.resize(written);
  const std::size_t first = buffer.find_first_not_of(' ');
  if (written == 0 || first == std::string::npos) return "Unknown Error";
  const std::size_t last = buffer.find_last_not_of(' ');
  return buffer.substr(first, last - first + 1);
}

}  // namespace pixavue::net
