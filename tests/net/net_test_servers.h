#pragma once
// Real servers for the network tests, started on 127.0.0.1 on a free port
// by net_test_servers.py and stopped with the object; a folder of test
// certificates made with openssl; and the environment every network test
// runs in (no proxy, short time-outs).

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace pixavue::testing {

class TestServer final {
 public:
  // Runs the script with the mode and its arguments and waits until it
  // listens. port() is 0 when it could not start.
  explicit TestServer(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// A folder of its own, removed with the object.
class TestFolder final {
 public:
  explicit TestFolder(const std::string& name);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::filesystem::path path_;
};

// Certificates made once per test program: ca.pem and, signed by it,
// good (127.0.0.1), other-name and expired; unknown-ca from another CA.
const std::filesystem::path& TestCertificates();

// No proxy from the environment, the receive time-out at receiveMs and the
// connect time-out at its default; the extra CA file unset.
void UseTestNetworkSettings(unsigned receiveMs = 2000);

// Bytes 0, 1, ... 250, 0, 1 ...: what the server's /bytes path sends.
std::vector<std::uint8_t> PatternBytes(std::size_t size);

}  // namespace pixavue::testing
