// cInet against a real local HTTP server: the body read with its events
// and stop flag, header queries by branch, recorded errors and the error
// texts.

#include <pixavue/net/c_inet.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "net_test_servers.h"

namespace pixavue::net {
namespace {

using testing::PatternBytes;
using testing::TestServer;
using Event = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

// Records every event; can set the stop flag from the nth one on.
class RecordingSession final : public cInetEvents {
 public:
  explicit RecordingSession(cInet& inet) : inet_(inet) { inet_.Advise(this); }
  void PacketReceieved(std::int32_t percent, std::int32_t left, std::int32_t total) override {
    events.emplace_back(percent, left, total);
    if (stopAt != 0 && events.size() >= stopAt) inet_.bStopReadArray = true;
  }
  std::vector<Event> events;
  std::size_t stopAt = 0;

 private:
  cInet& inet_;
};

class CInetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::UseTestNetworkSettings(1000);
    ASSERT_NE(server_.port(), 0);
    ASSERT_NE(inet_.hInternet(), nullptr);
  }
  // Request and send of a GET of path on the test server.
  void Get(const std::string& path) {
    ASSERT_NE(inet_.Request("GET", "127.0.0.1", path, server_.port(), 3), nullptr);
    ASSERT_TRUE(inet_.SendRequest("", ""));
  }

  TestServer server_{{"http", "."}};
  cInet inet_;
  RecordingSession events_{inet_};
};

TEST_F(CInetTest, BodyInChunksRaisesOneEventPerChunk) {
  inet_.put_BufferSize(4096);
  Get("/bytes?size=10000");
  std::vector<std::uint8_t> body;
  EXPECT_TRUE(inet_.ReadArray(body, 10000));
  EXPECT_EQ(body, PatternBytes(10000));
  EXPECT_EQ(events_.events, (std::vector<Event>{{59, 5904, 10000}, {18, 1808, 10000}, {0, 0, 10000}}));
}

TEST_F(CInetTest, ReadOnlyAsFarAsTheLengthAsked) {
  Get("/bytes?size=10000");
  std::vector<std::uint8_t> body;
  EXPECT_TRUE(inet_.ReadArray(body, 3000));  // the class's own 1024-byte chunks
  const std::vector<std::uint8_t> whole = PatternBytes(10000);
  EXPECT_EQ(body, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 3000));
  EXPECT_EQ(events_.events, (std::vector<Event>{{65, 1976, 3000}, {31, 952, 3000}, {0, 0, 3000}}));
}

TEST_F(CInetTest, ShortBodyLeavesZerosAndStillSucceeds) {
  inet_.put_BufferSize(4096);
  Get("/short?announce=5000&send=3000");
  std::vector<std::uint8_t> body;
  EXPECT_TRUE(inet_.ReadArray(body, 5000));
  ASSERT_EQ(body.size(), 5000u);
  std::vector<std::uint8_t> expected = PatternBytes(3000);
  expected.resize(5000, 0);
  EXPECT_EQ(body, expected);
  ASSERT_FALSE(events_.events.empty());
  EXPECT_EQ(events_.events.back(), Event(40, 2000, 5000));
}

TEST_F(CInetTest, NothingToReadLeavesTheArrayAlone) {
  Get("/bytes?size=10");
  std::vector<std::uint8_t> body{7, 7};
  EXPECT_TRUE(inet_.ReadArray(body, 0));
  EXPECT_TRUE(inet_.ReadArray(body, -5));
  EXPECT_EQ(body, (std::vector<std::uint8_t>{7, 7}));
  EXPECT_TRUE(events_.events.empty());
}

TEST_F(CInetTest, StopEndsTheReadAfterTheChunkOfItsEvent) {
  inet_.put_BufferSize(1000);
  Get("/bytes?size=10000");
  events_.stopAt = 2;
  std::vector<std::uint8_t> body;
  EXPECT_FALSE(inet_.ReadArray(body, 10000));
  EXPECT_EQ(events_.events, (std::vector<Event>{{90, 9000, 10000}, {80, 8000, 10000}}));
  // A stop set before a read starts is forgotten by it.
  events_.stopAt = 0;
  events_.events.clear();
  inet_.bStopReadArray = true;
  EXPECT_TRUE(inet_.ReadArray(body, 2000));
  EXPECT_EQ(events_.events.size(), 2u);
}

TEST_F(CInetTest, NonPositiveChunkSizeReadsNothing) {
  for (const std::int32_t size : {0, -4096}) {
    cInet inet;
    RecordingSession events(inet);
    inet.put_BufferSize(size);
    ASSERT_NE(inet.Request("GET", "127.0.0.1", "/bytes?size=500", server_.port(), 3), nullptr);
    ASSERT_TRUE(inet.SendRequest("", ""));
    std::vector<std::uint8_t> body;
    EXPECT_TRUE(inet.ReadArray(body, 500));
    EXPECT_EQ(body, std::vector<std::uint8_t>(500, 0));
    EXPECT_EQ(events.events, (std::vector<Event>{{100, 500, 500}}));
  }
}

TEST_F(CInetTest, QueryBranchesFollowTheLevelBits) {
  Get("/bytes?size=1234");
  std::string text = "kept";
  std::int32_t number = -1;
  EXPECT_TRUE(inet_.QueryInfo(0x20000005, text, number));
  EXPECT_EQ(number, 1234);
  // Bit 28 alone: no query at all.
  number = -1;
  EXPECT_FALSE(inet_.QueryInfo(0x10000005, text, number));
  EXPECT_FALSE(inet_.QueryInfo(0x1000000B, text, number));
  EXPECT_EQ(number, -1);
  // A missing header leaves both buffers.
  EXPECT_FALSE(inet_.QueryInfo(0x2000000A, text, number));
  EXPECT_EQ(number, -1);
  EXPECT_EQ(text, "kept");
  // Low bits with 0xB: a date query (Last-Modified), as eight numbers;
  // without the SYSTEMTIME modifier the header's text does not fit the
  // 16-byte structure.
  EXPECT_TRUE(inet_.QueryInfo(0x4000000B, text, number));
  EXPECT_EQ(text, "1994 15 2 11 8 12 31 0");
  text = "kept";
  EXPECT_FALSE(inet_.QueryInfo(0x0B, text, number));
  EXPECT_FALSE(inet_.QueryInfo(0x09, text, number));  // 9 lacks bit 1
  EXPECT_EQ(text, "kept");
  // Bit 31: the whole caller-sized buffer comes back.
  text = std::string(16, ' ');
  EXPECT_TRUE(inet_.QueryInfo(static_cast<std::int32_t>(0x80000027), text, number));
  EXPECT_EQ(text, std::string("quorvex\0        ", 16));
}

TEST_F(CInetTest, FailuresAreRecordedWithTheirErrorNumbers) {
  const int closedPort = [] {
    const TestServer gone({"silent"});
    return gone.port();
  }();
  EXPECT_EQ(inet_.Request("GET", "127.0.0.1", "/", closedPort, 3), nullptr);
  EXPECT_EQ(inet_.hSession(), nullptr);
  EXPECT_EQ(inet_.lLastError(), 12029);
  EXPECT_EQ(inet_.Request("GET", "127.0.0.1", "/\n", server_.port(), 3), nullptr);
  EXPECT_NE(inet_.hSession(), nullptr);
  EXPECT_EQ(inet_.lLastError(), 12005);
  const TestServer silent({"silent"});
  ASSERT_NE(inet_.Request("GET", "127.0.0.1", "/", silent.port(), 3), nullptr);
  EXPECT_FALSE(inet_.SendRequest("", ""));
  EXPECT_EQ(inet_.bSendResult(), 0);
  EXPECT_EQ(inet_.lLastError(), 12002);
}

TEST(CInetErrorTextTest, TableTextsAreKeptAsWritten) {
  const cInet inet;
  EXPECT_EQ(inet.TranslateErrorCode(12001), "No more handles could be generated at this time");
  EXPECT_EQ(inet.TranslateErrorCode(12011), "The request option can not be set, only queried. ");
  EXPECT_EQ(inet.TranslateErrorCode(12156), "The redirection failed because either the scheme changed");
  EXPECT_EQ(inet.TranslateErrorCode(12031), "The connection with the server has been reset.");
  const std::string mismatch = inet.TranslateErrorCode(12038);
  EXPECT_EQ(mismatch.rfind("SSL certificate common name (host name field) is incorrect. ", 0), 0u);
  EXPECT_GT(mismatch.size(), 70u);
}

TEST(CInetErrorTextTest, OtherNumbersGetTheSystemsText) {
  const cInet inet;
  for (const std::int32_t code : {12034, 12035, 12044, 12109, 12112, 12139, 12157, 999999}) {
    EXPECT_EQ(inet.TranslateErrorCode(code), "Unknown Error") << code;
  }
  EXPECT_EQ(inet.TranslateErrorCode(2), "The system cannot find the file specified.\r\n");
}

}  // namespace
}  // namespace pixavue::net
