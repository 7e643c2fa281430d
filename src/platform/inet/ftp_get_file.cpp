// Copies of remote files over an FTP connection's login.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <optional>
#include <string>

#include "curl_session.h"
#include "internet_objects.h"
#include "url_text.h"

namespace pixavue::platform {
namespace {

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

struct LocalFile {
  int fd = -1;
  ~LocalFile() {
    if (fd >= 0) ::close(fd);
  }
};

// Writes what arrives to the descriptor; a short write aborts the transfer.
std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
  const int fd = static_cast<LocalFile*>(file)->fd;
  std::size_t left = size * count;
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return 0;
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return size * count;
}

// The local file, never through a symbolic link.
int OpenLocal(const char* path, bool failIfExists) {
  const int exclusive = failIfExists ? O_EXCL : 0;
  return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | exclusive, 0600);
}

DWORD LocalFileError(int error) {
  if (error == EEXIST) return ERROR_FILE_EXISTS;
  if (error == ENOENT) return ERROR_FILE_NOT_FOUND;
  return ERROR_ACCESS_DENIED;
}

DWORD Copy(const inet::InternetObject& connection, const std::string& url, LocalFile& file) {
  char errorText[CURL_ERROR_SIZE];
  inet::EasyHandle easy = inet::NewEasyHandle(connection.useProxy, errorText);
  if (easy == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  CURL* handle = easy.get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_USERNAME, connection.user.c_str());
  curl_easy_setopt(handle, CURLOPT_PASSWORD, connection.password.c_str());
  if (!connection.passive) curl_easy_setopt(handle, CURLOPT_FTPPORT, "-");
  const long receiveSeconds = static_cast<long>((inet::ReceiveTimeout().count() + 999) / 1000);
  curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, receiveSeconds);
  curl_easy_setopt(handle, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(inet::ConnectTimeout().count()));
  // Nothing received for the receive time-out ends the copy.
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, receiveSeconds);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WriteToFile);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &file);
  const CURLcode result = curl_easy_perform(handle);
  long osErrno = 0;
  curl_easy_getinfo(handle, CURLINFO_OS_ERRNO, &osErrno);
  return inet::ToInternetError(result, osErrno, errorText);
}

}  // namespace

// Every transfer type copies the bytes unchanged (the image files this
// serves are binary).
BOOL FtpGetFileA(HINTERNET connect, const char* remoteFile, const char* newFile, BOOL failIfExists,
                 DWORD /*flagsAndAttributes*/, DWORD /*flags*/, DWORD_PTR /*context*/) {
  const auto connection = inet::FindObject(connect, inet::ObjectKind::FtpConnection);
  if (connection == nullptr) return FALSE;
  if (remoteFile == nullptr || newFile == nullptr || newFile[0] == '\0') return Fail(ERROR_INVALID_PARAMETER);
  try {
    const std::optional<std::string> path = inet::FtpUrlPath(remoteFile);
    if (!path) return Fail(ERROR_INTERNET_INVALID_URL);
    const std::string url = inet::Origin("ftp", connection->host, connection->port) + *path;
    LocalFile file;
    file.fd = OpenLocal(newFile, failIfExists != FALSE);
    if (file.fd < 0) return Fail(LocalFileError(errno));
    const DWORD error = Copy(*connection, url, file);
    const bool closed = ::close(file.fd) == 0;
    file.fd = -1;
    if (error != 0) return Fail(error);
    if (!closed) return Fail(ERROR_ACCESS_DENIED);
    return TRUE;
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

}  // namespace pixavue::platform
