// Starting and stopping the test servers.

#include "net_test_servers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <pixavue/platform/inet/wininet.h>

namespace pixavue::testing {
namespace {

constexpr int kStartTimeoutMs = 15'000;

// Reads the "port N" line the server prints once it listens.
int ReadPort(int fd) {
  std::string text;
  char c = 0;
  while (text.find('\n') == std::string::npos) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, kStartTimeoutMs) <= 0 || ::read(fd, &c, 1) != 1) return 0;
    text += c;
  }
  return text.rfind("port ", 0) == 0 ? std::atoi(text.c_str() + 5) : 0;
}

[[noreturn]] void RunScript(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                            int out) {
  ::dup2(out, STDOUT_FILENO);
  for (const std::string& setting : environment) ::putenv(const_cast<char*>(setting.c_str()));
  std::vector<char*> argv{const_cast<char*>(PIXAVUE_TEST_PYTHON), const_cast<char*>(PIXAVUE_NET_TEST_SERVERS)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execv(PIXAVUE_TEST_PYTHON, argv.data());
  ::_exit(127);
}

}  // namespace

TestServer::TestServer(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) RunScript(arguments, environment, pipeFds[1]);
  ::close(pipeFds[1]);
  if (pid_ > 0) port_ = ReadPort(pipeFds[0]);
  ::close(pipeFds[0]);
}

TestServer::~TestServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

TestFolder::TestFolder(const std::string& name)
    : path_(std::filesystem::temp_directory_path() / ("pixavue_net_" + std::to_string(::getpid()) + "_" + name)) {
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
  // Readable by the FTP server, which serves as nobody when run as root.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                          std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                          std::filesystem::perms::others_exec);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TestFolder::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read | std::filesystem::perms::others_read);
  return file;
}

const std::filesystem::path& TestCertificates() {
  static const TestFolder folder("certificates");
  static const bool made = [] {
    const std::string command = std::string(PIXAVUE_TEST_PYTHON) + " " + PIXAVUE_NET_TEST_SERVERS + " certs " +
                                folder.path().string() + " > /dev/null";
    return std::system(command.c_str()) == 0;
  }();
  if (!made) throw std::runtime_error("openssl could not make the test certificates");
  return folder.path();
}

void UseTestNetworkSettings(unsigned receiveMs) {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                           "NO_PROXY", "PIXAVUE_EXTRA_CA_FILE"}) {
    ::unsetenv(name);
  }
  const platform::DWORD receive = receiveMs;
  const platform::DWORD connect = 0;
  platform::InternetSetOptionA(nullptr, platform::INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
  platform::InternetSetOptionA(nullptr, platform::INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
}

std::vector<std::uint8_t> PatternBytes(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  return bytes;
}

}  // namespace pixavue::testing
