#pragma once
// The synchronous internet session API: a root handle, HTTP and FTP
// connections below it, HTTP requests below those, header queries, body
// reads and FTP file copies, with the names, flags, query levels and error
// numbers of the platform the control was designed for. Over libcurl.
//
// Every call blocks its thread until it is done. A failed call returns
// FALSE (or a null handle) and leaves the reason in the thread's last error
// (last_error.h). Closing a handle closes every handle below it.
//
// Settings read from the environment:
// - http_proxy, https_proxy, all_proxy and no_proxy choose the proxy for a
//   root handle opened with INTERNET_OPEN_TYPE_PRECONFIG; a malformed value
//   makes that open fail with ERROR_INTERNET_INVALID_PROXY_REQUEST.
// - PIXAVUE_EXTRA_CA_FILE names a PEM file of certificates trusted for TLS
//   on top of the system's store.

#include <cstdint>

#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

using BOOL = std::int32_t;
using WORD = std::uint16_t;
using INTERNET_PORT = std::uint16_t;
using DWORD_PTR = std::uintptr_t;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// A handle is a key into the process's handle table, never dereferenced; a
// closed or made-up handle fails with ERROR_INVALID_HANDLE.
struct InternetHandleTag;
using HINTERNET = InternetHandleTag*;

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

// Access types of InternetOpenA.
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;

// Services of InternetConnectA.
inline constexpr DWORD INTERNET_SERVICE_FTP = 1;
inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;

// Flags.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr DWORD INTERNET_FLAG_PASSIVE = 0x08000000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
inline constexpr DWORD FTP_TRANSFER_TYPE_UNKNOWN = 0;
inline constexpr DWORD FTP_TRANSFER_TYPE_ASCII = 1;
inline constexpr DWORD FTP_TRANSFER_TYPE_BINARY = 2;

// Header query levels (low 16 bits) and modifiers (high bits).
inline constexpr DWORD HTTP_QUERY_CONTENT_TYPE = 1;
inline constexpr DWORD HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr DWORD HTTP_QUERY_DATE = 9;
inline constexpr DWORD HTTP_QUERY_EXPIRES = 10;
inline constexpr DWORD HTTP_QUERY_LAST_MODIFIED = 11;
inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;
inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD HTTP_QUERY_SERVER = 37;
inline constexpr DWORD HTTP_QUERY_FLAG_REQUEST_HEADERS = 0x80000000;
inline constexpr DWORD HTTP_QUERY_FLAG_SYSTEMTIME = 0x40000000;
inline constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;
inline constexpr DWORD HTTP_QUERY_FLAG_COALESCE = 0x10000000;

// Options of InternetSetOptionA (milliseconds, a DWORD).
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
// The defaults: a connection that is not made within a minute fails, and a
// transfer that receives nothing for half a minute ends.
inline constexpr DWORD kDefaultConnectTimeoutMs = 60'000;
inline constexpr DWORD kDefaultReceiveTimeoutMs = 30'000;

// Error numbers left in the thread's last error.
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INTERNET_OUT_OF_HANDLES = 12001;
inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_EXTENDED_ERROR = 12003;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
inline constexpr DWORD ERROR_INTERNET_LOGIN_FAILURE = 12015;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr DWORD ERROR_INTERNET_INVALID_PROXY_REQUEST = 12033;
inline constexpr DWORD ERROR_INTERNET_SEC_CERT_DATE_INVALID = 12037;
inline constexpr DWORD ERROR_INTERNET_SEC_CERT_CN_INVALID = 12038;
inline constexpr DWORD ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED = 12044;
inline constexpr DWORD ERROR_INTERNET_INVALID_CA = 12045;
inline constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr DWORD ERROR_HTTP_INVALID_QUERY_REQUEST = 12154;
inline constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;
inline constexpr DWORD ERROR_INTERNET_SEC_INVALID_CERT = 12169;

// The root handle. Only the two access types above; the proxy arguments
// must be null (the environment's proxy is used) and flags 0.
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                        DWORD flags);

// HTTP: checks that the server answers on the port (unless the
// environment names a proxy: then failures show when the request is sent);
// the request connects again. FTP: connects and logs in to check the login
// (an empty user name logs in as "anonymous"); each copy logs in again.
// INTERNET_FLAG_PASSIVE chooses passive FTP. A server name with blanks or
// URL delimiters fails with ERROR_INTERNET_NAME_NOT_RESOLVED.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port, const char* userName,
                           const char* password, DWORD service, DWORD flags, DWORD_PTR context);

// A request on an HTTP connection. The verb (null: "GET") is sent as it
// is, "HEAD" without reading a body; the version is "HTTP/1.0" or
// "HTTP/1.1" (null). INTERNET_FLAG_SECURE makes it HTTPS: the certificate
// chain is verified, its host name too unless
// INTERNET_FLAG_IGNORE_CERT_CN_INVALID. An object name with control
// characters fails with ERROR_INTERNET_INVALID_URL; blanks and other bytes
// outside URLs are escaped.
HINTERNET HttpOpenRequestA(HINTERNET connect, const char* verb, const char* objectName, const char* version,
                           const char* referrer, const char** acceptTypes, DWORD flags, DWORD_PTR context);

// Connects, sends the request with the extra headers (one per line) and
// waits for the response's headers; the body is left for InternetReadFile.
// A request body is not supported (optionalLength must be 0). Once per
// request.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength, const void* optional,
                      DWORD optionalLength);

// A header of the response (level: low 16 bits; modifiers above). Strings
// are copied with a terminating 0 and *bufferLength set to their length; a
// buffer too small fails with ERROR_INSUFFICIENT_BUFFER and the size
// needed. HTTP_QUERY_FLAG_NUMBER gives a DWORD (a value above 2^32 - 1
// saturates), HTTP_QUERY_FLAG_SYSTEMTIME a SYSTEMTIME from an HTTP date.
// index counts headers of the same name. A missing header fails with
// ERROR_HTTP_HEADER_NOT_FOUND.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength, DWORD* index);

// Reads the next bytes of the body: returns when bytesToRead bytes have
// arrived, the body has ended (*bytesRead may then be smaller, and 0 at its
// end) or the transfer failed. A failure after some bytes returns them; the
// next call fails with the reason (ERROR_INTERNET_CONNECTION_ABORTED for a
// body shorter than announced, ERROR_INTERNET_CONNECTION_RESET,
// ERROR_INTERNET_TIMEOUT when nothing arrived for the receive time-out).
// Bytes the caller has not asked for are held back: at most a small
// bounded buffer is kept, the rest waits in the network.
BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD bytesToRead, DWORD* bytesRead);

// Copies a file of an FTP connection to a new local file (mode 0600; an
// existing file is replaced unless failIfExists, which fails with
// ERROR_FILE_EXISTS). The remote name is relative to the login folder
// unless it begins with "/". Bytes are copied unchanged in every transfer
// type. A copy that fails may leave a partly written local file; the
// caller decides what becomes of it.
BOOL FtpGetFileA(HINTERNET connect, const char* remoteFile, const char* newFile, BOOL failIfExists,
                 DWORD flagsAndAttributes, DWORD flags, DWORD_PTR context);

// Closes the handle and every handle below it.
BOOL InternetCloseHandle(HINTERNET handle);

// With a null handle: the process's connect and receive time-outs
// (INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, a
// DWORD of milliseconds, 0 restores the default) for connections made
// afterwards. Other options and handles fail with
// ERROR_INTERNET_INVALID_OPTION.
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, const void* buffer, DWORD bufferLength);

}  // namespace pixavue::platform
