// HTTPS through the session API against local servers on certificates of
// a test CA made with openssl: the chain is verified, the host name only
// when asked.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "net_test_servers.h"

namespace pixavue::platform {
namespace {

using testing::TestServer;

class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseTestNetworkSettings();
    ::setenv("PIXAVUE_EXTRA_CA_FILE", (testing::TestCertificates() / "ca.pem").c_str(), 1);
  }
  void TearDown() override { ::unsetenv("PIXAVUE_EXTRA_CA_FILE"); }

  static TestServer Server(const std::string& certificate) {
    const auto folder = testing::TestCertificates();
    return TestServer({"http", ".", (folder / (certificate + ".pem")).string(), (folder / (certificate + ".key")).string()});
  }
  // 0 when a secure GET of 10 bytes worked, else the send's error.
  static DWORD SecureGet(int port, DWORD flags) {
    HINTERNET root = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(root, "127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/bytes?size=10", "HTTP/1.0", nullptr, nullptr,
                                         INTERNET_FLAG_SECURE | flags, 0);
    DWORD error = 0;
    if (HttpSendRequestA(request, nullptr, 0, nullptr, 0) == FALSE) {
      error = GetLastError();
    } else {
      char body[16];
      DWORD got = 0;
      if (InternetReadFile(request, body, sizeof(body), &got) == FALSE || got != 10) error = GetLastError();
    }
    InternetCloseHandle(root);
    return error;
  }
};

TEST_F(TlsTest, TrustedChainIsAcceptedAndHostNameMismatchOnlyWhenIgnored) {
  const TestServer good = Server("good");
  const TestServer otherName = Server("other-name");
  ASSERT_NE(good.port(), 0);
  ASSERT_NE(otherName.port(), 0);
  EXPECT_EQ(SecureGet(good.port(), 0), 0u);
  EXPECT_EQ(SecureGet(otherName.port(), INTERNET_FLAG_IGNORE_CERT_CN_INVALID), 0u);
  EXPECT_EQ(SecureGet(otherName.port(), 0), ERROR_INTERNET_SEC_CERT_CN_INVALID);
}

TEST_F(TlsTest, ExpiredOrUntrustedCertificatesFailTheSend) {
  const TestServer expired = Server("expired");
  const TestServer unknown = Server("unknown-ca");
  EXPECT_EQ(SecureGet(expired.port(), INTERNET_FLAG_IGNORE_CERT_CN_INVALID), ERROR_INTERNET_SEC_CERT_DATE_INVALID);
  EXPECT_EQ(SecureGet(unknown.port(), INTERNET_FLAG_IGNORE_CERT_CN_INVALID), ERROR_INTERNET_INVALID_CA);
}

TEST_F(TlsTest, TestCaIsTrustedOnlyThroughTheEnvironment) {
  const TestServer good = Server("good");
  ::unsetenv("PIXAVUE_EXTRA_CA_FILE");
  EXPECT_EQ(SecureGet(good.port(), INTERNET_FLAG_IGNORE_CERT_CN_INVALID), ERROR_INTERNET_INVALID_CA);
}

}  // namespace
}  // namespace pixavue::platform
