#pragma once
// What the internet handles stand for: a root, connections below a root,
// requests below an HTTP connection; and the table that turns handles into
// objects. A closed handle closes the handles below it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pixavue/platform/inet/wininet.h>

#include "http_transfer.h"

namespace pixavue::platform::inet {

enum class ObjectKind { Root, HttpConnection, FtpConnection, Request };

struct InternetObject {
  ObjectKind kind = ObjectKind::Root;
  HINTERNET parent = nullptr;
  // Root (and copied below it): the user agent, and whether the
  // environment's proxy is used (else none).
  std::string agent;
  bool useProxy = true;
  // Connections.
  std::string host;
  INTERNET_PORT port = 0;
  std::string user;
  std::string password;
  bool passive = true;
  // Requests.
  std::string verb;
  std::string objectName;  // escaped, beginning with "/"
  bool http10 = false;
  DWORD flags = 0;
  bool sent = false;
  std::vector<std::string> requestHeaderLines;  // the request line first
  std::unique_ptr<HttpTransfer> transfer;
};

// Registers the object under a new handle; null when the table is full
// (ERROR_INTERNET_OUT_OF_HANDLES).
HINTERNET AddObject(std::shared_ptr<InternetObject> object);

// The object of a handle, or null (ERROR_INVALID_HANDLE set) when the handle
// is not open.
std::shared_ptr<InternetObject> FindObject(HINTERNET handle);

// The object of a handle of the given kind; sets
// ERROR_INTERNET_INCORRECT_HANDLE_TYPE for another kind.
std::shared_ptr<InternetObject> FindObject(HINTERNET handle, ObjectKind kind);

// Removes the handle and every handle below it; false when it is not open.
bool RemoveObject(HINTERNET handle);

}  // namespace pixavue::platform::inet
