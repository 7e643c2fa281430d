// HTTP through the session API against a real local server: requests,
// chunked reads, header queries, failures of the network and handles.

#include <pixavue/platform/inet/last_error.h>
#include <pixavue/platform/inet/wininet.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "net_test_servers.h"

namespace pixavue::platform {
namespace {

using testing::PatternBytes;
using testing::TestServer;

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseTestNetworkSettings();
    ASSERT_NE(server_.port(), 0);
    root_ = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(root_, nullptr);
  }
  void TearDown() override { InternetCloseHandle(root_); }

  HINTERNET Connect(int port) {
    return InternetConnectA(root_, "127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                            INTERNET_SERVICE_HTTP, 0, 0);
  }
  // A sent GET of path on the test server; null when any step failed.
  HINTERNET Get(const std::string& path, const char* verb = "GET") {
    HINTERNET connection = Connect(server_.port());
    if (connection == nullptr) return nullptr;
    HINTERNET request = HttpOpenRequestA(connection, verb, path.c_str(), "HTTP/1.0", nullptr, nullptr, 0, 0);
    if (request == nullptr || HttpSendRequestA(request, nullptr, 0, nullptr, 0) == FALSE) return nullptr;
    return request;
  }
  // Reads the body in reads of `chunk` bytes; sizes receives each read's count.
  static std::vector<std::uint8_t> ReadAll(HINTERNET request, DWORD chunk, std::vector<DWORD>* sizes = nullptr) {
    std::vector<std::uint8_t> body;
    std::vector<std::uint8_t> buffer(chunk);
    DWORD got = 0;
    while (InternetReadFile(request, buffer.data(), chunk, &got) != FALSE && got > 0) {
      body.insert(body.end(), buffer.begin(), buffer.begin() + got);
      if (sizes != nullptr) sizes->push_back(got);
    }
    return body;
  }
  static std::string Text(HINTERNET request, DWORD level) {
    char buffer[512] = {};
    DWORD length = sizeof(buffer);
    if (HttpQueryInfoA(request, level, buffer, &length, nullptr) == FALSE) return "(failed)";
    return std::string(buffer, length);
  }

  TestServer server_{{"http", "."}};
  HINTERNET root_ = nullptr;
};

TEST_F(HttpTest, ReadsFillEachBufferAndEndWithAnEmptyRead) {
  HINTERNET request = Get("/bytes?size=10000");
  ASSERT_NE(request, nullptr);
  std::vector<DWORD> sizes;
  EXPECT_EQ(ReadAll(request, 4096, &sizes), PatternBytes(10000));
  EXPECT_EQ(sizes, (std::vector<DWORD>{4096, 4096, 1808}));
  DWORD got = 99;
  std::uint8_t byte = 0;
  EXPECT_EQ(InternetReadFile(request, &byte, 1, &got), TRUE);
  EXPECT_EQ(got, 0u);
}

TEST_F(HttpTest, LargeBodiesArriveWholeInSmallAndLargeReads) {
  for (const DWORD chunk : {1000u, 65536u, 1u << 20}) {
    HINTERNET request = Get("/bytes?size=3000000");
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(ReadAll(request, chunk), PatternBytes(3'000'000)) << chunk;
  }
}

// The body waits in the network while nobody reads it: a reader that
// pauses holds only a small buffer, not the whole body.
TEST_F(HttpTest, UnreadBodyIsNotBufferedInMemory) {
  const auto residentKiB = [] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0L;
  };
  HINTERNET request = Get("/bytes?size=100000000");
  ASSERT_NE(request, nullptr);
  const long before = residentKiB();
  std::vector<std::uint8_t> buffer(4096);
  DWORD got = 0;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(InternetReadFile(request, buffer.data(), 4096, &got), TRUE);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_LT(residentKiB() - before, 8 * 1024);
}

TEST_F(HttpTest, QueriesGiveHeadersAsTextNumbersAndDates) {
  HINTERNET request = Get("/bytes?size=1234");
  ASSERT_NE(request, nullptr);
  DWORD number = 0;
  DWORD length = sizeof(number);
  DWORD index = 0;
  ASSERT_EQ(HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &number, &length, &index),
            TRUE);
  EXPECT_EQ(number, 1234u);
  EXPECT_EQ(index, 1u);
  length = sizeof(number);
  EXPECT_EQ(HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &number, &length, &index),
            FALSE);
  EXPECT_EQ(GetLastError(), ERROR_HTTP_HEADER_NOT_FOUND);
  EXPECT_EQ(Text(request, HTTP_QUERY_CONTENT_LENGTH), "1234");
  EXPECT_EQ(Text(request, HTTP_QUERY_STATUS_CODE), "200");
  EXPECT_EQ(Text(request, HTTP_QUERY_FLAG_REQUEST_HEADERS | 39), "quorvex");
  SYSTEMTIME time;
  length = sizeof(time);
  ASSERT_EQ(HttpQueryInfoA(request, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &time, &length, nullptr),
            TRUE);
  EXPECT_EQ(std::vector<int>({time.wYear, time.wMonth, time.wDay, time.wDayOfWeek, time.wHour, time.wMinute,
                              time.wSecond}),
            std::vector<int>({1994, 11, 15, 2, 8, 12, 31}));
  EXPECT_EQ(Text(request, HTTP_QUERY_EXPIRES), "(failed)");
  EXPECT_EQ(GetLastError(), ERROR_HTTP_HEADER_NOT_FOUND);
  char small[3];
  length = sizeof(small);
  EXPECT_EQ(HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, small, &length, nullptr), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(length, 5u);
}

TEST_F(HttpTest, RequestGoesOutAsOneHttp10GetWithTheAgent) {
  HINTERNET request = Get("/echo?a b");
  ASSERT_NE(request, nullptr);
  const std::vector<std::uint8_t> body = ReadAll(request, 4096);
  const std::string text(body.begin(), body.end());
  EXPECT_EQ(text.rfind("GET /echo?a%20b HTTP/1.0\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("User-Agent: quorvex\n"), std::string::npos) << text;
  HINTERNET lower = Get("/echo", "get");
  ASSERT_NE(lower, nullptr);
  const std::vector<std::uint8_t> answer = ReadAll(lower, 4096);
  EXPECT_EQ(std::string(answer.begin(), answer.end()), "lower case verb: get /echo HTTP/1.0");
}

TEST_F(HttpTest, BrokenBodiesEndWithTheirErrors) {
  struct Case {
    std::string path;
    std::size_t bytes;
    DWORD error;
  };
  for (const Case& c : {Case{"/short?announce=5000&send=3000", 3000, ERROR_INTERNET_CONNECTION_ABORTED},
                        Case{"/reset?announce=500000&send=3000", 3000, ERROR_INTERNET_CONNECTION_RESET}}) {
    HINTERNET request = Get(c.path);
    ASSERT_NE(request, nullptr) << c.path;
    std::vector<std::uint8_t> buffer(100000);
    DWORD got = 0;
    ASSERT_EQ(InternetReadFile(request, buffer.data(), 100000, &got), TRUE) << c.path;
    EXPECT_EQ(got, c.bytes) << c.path;
    EXPECT_EQ(InternetReadFile(request, buffer.data(), 100000, &got), FALSE) << c.path;
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
}

TEST_F(HttpTest, SlowBodiesArriveWhileTheyKeepComing) {
  HINTERNET request = Get("/slow?size=3000&step=1000&delay=300");
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(ReadAll(request, 8192), PatternBytes(3000));
}

TEST_F(HttpTest, SilenceLongerThanTheReceiveTimeoutEndsTheTransfer) {
  testing::UseTestNetworkSettings(500);
  HINTERNET stalled = Get("/slow?size=3000&step=1000&delay=1500");
  ASSERT_NE(stalled, nullptr);
  std::vector<std::uint8_t> buffer(8192);
  DWORD got = 0;
  EXPECT_EQ(InternetReadFile(stalled, buffer.data(), 8192, &got), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);

  const TestServer silent({"silent"});
  HINTERNET connection = Connect(silent.port());
  ASSERT_NE(connection, nullptr);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.0", nullptr, nullptr, 0, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(HttpSendRequestA(request, nullptr, 0, nullptr, 0), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(HttpTest, ConnectionsAndRequestsRefuseWhatCannotWork) {
  const int closedPort = [] {
    const TestServer gone({"silent"});
    return gone.port();
  }();
  EXPECT_EQ(Connect(closedPort), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);
  EXPECT_EQ(InternetConnectA(root_, " 127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
  HINTERNET connection = Connect(server_.port());
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(HttpOpenRequestA(connection, "GET", "/a\r\nX-Injected: 1", "HTTP/1.0", nullptr, nullptr, 0, 0),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_URL);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/zero", "HTTP/1.0", nullptr, nullptr, 0, 0);
  DWORD got = 0;
  EXPECT_EQ(InternetReadFile(request, nullptr, 0, &got), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  EXPECT_EQ(InternetReadFile(connection, nullptr, 0, &got), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
}

TEST_F(HttpTest, ClosingTheRootClosesEverythingBelowIt) {
  HINTERNET request = Get("/bytes?size=100");
  ASSERT_NE(request, nullptr);
  ASSERT_EQ(InternetCloseHandle(root_), TRUE);
  DWORD got = 0;
  std::uint8_t byte = 0;
  EXPECT_EQ(InternetReadFile(request, &byte, 1, &got), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(InternetCloseHandle(request), FALSE);
  root_ = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

// The environment's proxy: requests for any host go to it, and a value
// that is no URL makes the open fail.
TEST_F(HttpTest, EnvironmentProxyCarriesTheRequests) {
  ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(server_.port())).c_str(), 1);
  HINTERNET root = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET connection =
      InternetConnectA(root, "images.example", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/bytes?size=10", "HTTP/1.0", nullptr, nullptr, 0, 0);
  ASSERT_EQ(HttpSendRequestA(request, nullptr, 0, nullptr, 0), TRUE);
  EXPECT_EQ(Text(request, HTTP_QUERY_STATUS_CODE), "200");
  EXPECT_NE(Text(request, HTTP_QUERY_RAW_HEADERS_CRLF).find("X-Via-Proxy: 1"), std::string::npos);
  InternetCloseHandle(root);
  ::setenv("http_proxy", "http://[bad", 1);
  EXPECT_EQ(InternetOpenA("quorvex", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_PROXY_REQUEST);
  HINTERNET direct = InternetOpenA("quorvex", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  EXPECT_NE(direct, nullptr);
  InternetCloseHandle(direct);
  ::unsetenv("http_proxy");
}

}  // namespace
}  // namespace pixavue::platform
