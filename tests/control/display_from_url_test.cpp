// DisplayFromURL against a real local HTTP server: progress events, the
// host prefixes, the stop, re-entry, and every status of the failures.

#include <pixavue/engine/image_store.h>

#include <sys/resource.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "download_test_support.h"

namespace pixavue::testing {
namespace {

using Progress = std::tuple<std::int32_t, std::int32_t, std::int32_t>;

// Records DataReceived with its values and runs a handler after each.
class ProgressSink final : public ImageBoxEvents {
 public:
  void DataReceived(std::int32_t percent, std::int32_t left, std::int32_t total) override {
    events.emplace_back(percent, left, total);
    if (onEvent) onEvent();
  }
  std::vector<Progress> events;
  std::function<void()> onEvent;
};

class DisplayFromUrlTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    files_.Write("image.gif", PaddedGif(10000));
    files_.Write("large.gif", PaddedGif(100000));
    ASSERT_NE(server_.port(), 0);
    control_ = NewControl();
    control_->Control().Advise(&sink_);
  }
  ImageBox& box() { return control_->Control(); }
  QuorvexStatus Show(const std::string& path, const std::string& host = "127.0.0.1") {
    return box().DisplayFromURL(host, path, server_.port());
  }

  TestFolder files_{"url_files"};
  TestServer server_{{"http", files_.path().string()}};
  std::unique_ptr<headless::HeadlessControl> control_;
  ProgressSink sink_;
};

TEST_F(DisplayFromUrlTest, ImageArrivesWithThePercentageReceived) {
  EXPECT_EQ(Show("/file/image.gif"), QuorvexStatus::OK);
  EXPECT_EQ(box().GetImageFormat(), "GIF");
  EXPECT_EQ(box().get_ImageWidth(), 1);
  EXPECT_EQ(sink_.events, (std::vector<Progress>{{41, 5904, 10000}, {82, 1808, 10000}, {100, 0, 10000}}));
  EXPECT_FALSE(box().Runtime().DownloadInProgress);
  // Larger chunks: fewer events.
  sink_.events.clear();
  box().SetHttpTransfertBufferSize(65536);
  EXPECT_EQ(Show("/file/image.gif"), QuorvexStatus::OK);
  EXPECT_EQ(sink_.events, (std::vector<Progress>{{100, 0, 10000}}));
}

TEST_F(DisplayFromUrlTest, SchemePrefixesAreDroppedWithTheirBlanks) {
  EXPECT_EQ(Show("/file/image.gif", "  hTTp://127.0.0.1  "), QuorvexStatus::OK);
  // The prefix does not choose TLS: this port serves plain HTTP.
  EXPECT_EQ(Show("/file/image.gif", "HTTPS://127.0.0.1"), QuorvexStatus::OK);
  EXPECT_EQ(Show("/file/image.gif", " https://127.0.0.1"), QuorvexStatus::OK);
  // Without a prefix the host is used as it is, blanks included.
  EXPECT_EQ(Show("/file/image.gif", " 127.0.0.1"), QuorvexStatus::InternetConnectError);
}

// Port 443 alone makes the request secure; the certificate's name need not
// match. Needs the right to listen on port 443.
TEST_F(DisplayFromUrlTest, Port443UsesTlsAndIgnoresANameMismatch) {
  const auto certificates = TestCertificates();
  ::setenv("PIXAVUE_EXTRA_CA_FILE", (certificates / "ca.pem").c_str(), 1);
  const auto serve = [&](const std::string& name) {
    return std::make_unique<TestServer>(
        std::vector<std::string>{"http", files_.path().string(), (certificates / (name + ".pem")).string(),
                                 (certificates / (name + ".key")).string()},
        std::vector<std::string>{"TEST_SERVER_PORT=443"});
  };
  auto secure = serve("other-name");
  if (secure->port() != 443) GTEST_SKIP() << "port 443 is not available";
  EXPECT_EQ(box().DisplayFromURL("HTTPS://127.0.0.1", "/file/image.gif", 443), QuorvexStatus::OK);
  EXPECT_EQ(box().DisplayFromURL("127.0.0.1", "/file/image.gif", 443), QuorvexStatus::OK);
  secure.reset();  // the port is free again only once the first server is gone
  secure = serve("expired");
  ASSERT_EQ(secure->port(), 443);
  EXPECT_EQ(box().DisplayFromURL("127.0.0.1", "/file/image.gif", 443), QuorvexStatus::InternetHttpSendRequestError);
  ::unsetenv("PIXAVUE_EXTRA_CA_FILE");
}

TEST_F(DisplayFromUrlTest, StopDuringTheFirstChunkEndsAfterItsEvent) {
  sink_.onEvent = [this] { box().DisplayFromURLStop(); };
  EXPECT_EQ(Show("/file/large.gif"), QuorvexStatus::InternetHttpTransferError);
  EXPECT_EQ(sink_.events, (std::vector<Progress>{{5, 95904, 100000}}));
  EXPECT_FALSE(box().Runtime().DownloadInProgress);
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  // Outside a download the stop does nothing.
  sink_.onEvent = nullptr;
  box().DisplayFromURLStop();
  EXPECT_EQ(Show("/file/large.gif"), QuorvexStatus::OK);
}

TEST_F(DisplayFromUrlTest, CallFromInsideTheProgressEventReturnsAtOnce) {
  std::vector<QuorvexStatus> nested;
  sink_.onEvent = [&] { nested.push_back(Show("/file/large.gif")); };
  EXPECT_EQ(Show("/file/image.gif"), QuorvexStatus::OK);
  EXPECT_EQ(nested, std::vector<QuorvexStatus>(3, QuorvexStatus::OK));
  EXPECT_EQ(sink_.events.size(), 3u);  // the nested calls downloaded nothing
}

TEST_F(DisplayFromUrlTest, NetworkFailuresGiveTheirStatuses) {
  const int closedPort = [] {
    const TestServer gone({"silent"});
    return gone.port();
  }();
  EXPECT_EQ(box().DisplayFromURL("127.0.0.1", "/file/image.gif", closedPort), QuorvexStatus::InternetConnectError);
  EXPECT_EQ(Show("/file/image.gif\n"), QuorvexStatus::InternetHttpOpenRequestError);
  const TestServer silent({"silent"});
  EXPECT_EQ(box().DisplayFromURL("127.0.0.1", "/", silent.port()), QuorvexStatus::InternetHttpSendRequestError);
  EXPECT_EQ(Show("/nolength"), QuorvexStatus::InternetHttpQueryError);
  EXPECT_EQ(Show("/zero"), QuorvexStatus::InternetHttpInvalidFileLength);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::InternetHttpInvalidFileLength);
  EXPECT_TRUE(sink_.events.empty());
  ::setenv("http_proxy", "http://[bad", 1);
  EXPECT_EQ(Show("/file/image.gif"), QuorvexStatus::InternetOpenError);
  ::unsetenv("http_proxy");
}

// Announced lengths beyond the limit, or beyond what 32 bits hold, are
// refused before anything is allocated.
TEST_F(DisplayFromUrlTest, HugeAnnouncedLengthsAreRefused) {
  for (const char* length : {"1073741825", "2147483648", "3000000000", "99999999999"}) {
    EXPECT_EQ(Show(std::string("/length?value=") + length), QuorvexStatus::InternetHttpInvalidFileLength) << length;
  }
  EXPECT_TRUE(sink_.events.empty());
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(DisplayFromUrlTest, BufferThatCannotBeAllocatedIsOutOfMemory) {
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &before), 0);
  rlimit tight = before;
  tight.rlim_cur = 768ull << 20;  // below the ~1 GB the server announces
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &tight), 0);
  const QuorvexStatus status = Show("/length?value=1000000000");
  ::setrlimit(RLIMIT_AS, &before);
  EXPECT_EQ(status, QuorvexStatus::OutOfMemory);
}
#endif

// What arrives goes to the byte-array loader as it is: an error page, or a
// body cut short (with zeros for what never came).
TEST_F(DisplayFromUrlTest, BodiesThatAreNoImageGetTheLoadersStatus) {
  const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
  const QuorvexStatus pageStatus = ByteArrayStatus(std::vector<std::uint8_t>(page.begin(), page.end()));
  EXPECT_EQ(Show("/missing"), pageStatus);
  EXPECT_NE(pageStatus, QuorvexStatus::OK);
  std::vector<std::uint8_t> cut = PatternBytes(3000);
  cut.resize(5000, 0);
  const QuorvexStatus cutStatus = ByteArrayStatus(cut);
  EXPECT_EQ(Show("/short?announce=5000&send=3000"), cutStatus);
  EXPECT_EQ(Show("/reset?announce=5000&send=3000"), cutStatus);
  EXPECT_LT(static_cast<int>(cutStatus), 100);
}

TEST_F(DisplayFromUrlTest, SlowBodiesArriveWhole) {
  EXPECT_EQ(Show("/slow?size=3000&step=1000&delay=400"), ByteArrayStatus(PatternBytes(3000)));
  EXPECT_EQ(sink_.events.back(), Progress(100, 0, 3000));
}

}  // namespace
}  // namespace pixavue::testing
