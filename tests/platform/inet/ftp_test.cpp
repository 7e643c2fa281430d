// FTP through the session API against a local pyftpdlib server: logins,
// passive and active copies, and the failures of each step.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "net_test_servers.h"

namespace pixavue::platform {
namespace {

using testing::PatternBytes;

std::vector<std::uint8_t> Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FtpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseTestNetworkSettings();
    // Bytes that a text-mode copy would change.
    remote_.Write("image.bin", PatternBytes(70000));
    std::filesystem::create_directories(remote_.path() / "sub dir");
    std::filesystem::permissions(remote_.path() / "sub dir", std::filesystem::perms::all);
    remote_.Write("sub dir/deep.bin", PatternBytes(300));
    const auto locked = remote_.Write("locked.bin", PatternBytes(10));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    root_ = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  }
  void TearDown() override { InternetCloseHandle(root_); }

  HINTERNET Connect(const char* user, const char* password, DWORD flags = INTERNET_FLAG_PASSIVE) {
    return InternetConnectA(root_, "127.0.0.1", static_cast<INTERNET_PORT>(server_.port()), user, password,
                            INTERNET_SERVICE_FTP, flags, 0);
  }

  testing::TestFolder remote_{"ftp_remote"};
  testing::TestFolder local_{"ftp_local"};
  testing::TestServer server_{{"ftp", remote_.path().string(), "viewer", "secret"}};
  HINTERNET root_ = nullptr;
};

TEST_F(FtpTest, CopiesUnchangedInPassiveAndActiveModeForEitherLogin) {
  ASSERT_NE(server_.port(), 0);
  struct Case {
    const char* user;
    const char* password;
    DWORD flags;
  };
  int n = 0;
  for (const Case& c : {Case{"", "", INTERNET_FLAG_PASSIVE}, Case{"viewer", "secret", INTERNET_FLAG_PASSIVE},
                        Case{"viewer", "secret", 0}, Case{nullptr, nullptr, 0}}) {
    HINTERNET connection = Connect(c.user, c.password, c.flags);
    ASSERT_NE(connection, nullptr) << n;
    const auto file = local_.path() / ("copy" + std::to_string(n++));
    ASSERT_EQ(FtpGetFileA(connection, "image.bin", file.c_str(), FALSE, 0, FTP_TRANSFER_TYPE_ASCII, 0), TRUE) << n;
    EXPECT_EQ(Contents(file), PatternBytes(70000)) << n;
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(InternetCloseHandle(connection), TRUE);
  }
}

TEST_F(FtpTest, PathsFromTheLoginFolderOrTheRoot) {
  HINTERNET connection = Connect("viewer", "secret");
  ASSERT_NE(connection, nullptr);
  const auto file = local_.path() / "deep";
  ASSERT_EQ(FtpGetFileA(connection, "sub dir/deep.bin", file.c_str(), FALSE, 0, 0, 0), TRUE);
  EXPECT_EQ(Contents(file), PatternBytes(300));
  // The server's root is the login folder: "/" names it too.
  ASSERT_EQ(FtpGetFileA(connection, "/sub dir/deep.bin", file.c_str(), FALSE, 0, 0, 0), TRUE);
  EXPECT_EQ(Contents(file), PatternBytes(300));
}

TEST_F(FtpTest, LoginAndCopyFailuresGiveTheirErrors) {
  EXPECT_EQ(Connect("viewer", "wrong"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_LOGIN_FAILURE);
  HINTERNET connection = Connect("viewer", "secret");
  ASSERT_NE(connection, nullptr);
  const auto file = local_.path() / "copy";
  EXPECT_EQ(FtpGetFileA(connection, "missing.bin", file.c_str(), FALSE, 0, 0, 0), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_EQ(FtpGetFileA(connection, "locked.bin", file.c_str(), FALSE, 0, 0, 0), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  ASSERT_EQ(FtpGetFileA(connection, "image.bin", file.c_str(), FALSE, 0, 0, 0), TRUE);
  EXPECT_EQ(FtpGetFileA(connection, "image.bin", file.c_str(), TRUE, 0, 0, 0), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

}  // namespace
}  // namespace pixavue::platform
