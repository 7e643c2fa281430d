// DisplayFromFTP against a real local FTP server: logins and modes, the
// remote path rule, the life of the temporary file, and the failures.

#include <pixavue/engine/image_store.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "download_test_support.h"
#include "ftp_remote_path.h"

namespace pixavue::testing {
namespace {

namespace fs = std::filesystem;

class DisplayFromFtpTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    ::setenv("tmp", temp_.path().c_str(), 1);
    remote_.Write("image.gif", GifBytes({0}));
    remote_.Write("notes.txt", PatternBytes(500));
    fs::create_directories(remote_.path() / "sub dir");
    fs::permissions(remote_.path() / "sub dir", fs::perms::all);
    remote_.Write("sub dir/image.gif", GifBytes({0}));
    fs::permissions(remote_.Write("locked.gif", GifBytes({0})), fs::perms::none);
    ASSERT_NE(server_.port(), 0);
    control_ = NewControl();
  }
  void TearDown() override { ::unsetenv("tmp"); }

  ImageBox& box() { return control_->Control(); }
  QuorvexStatus Show(const std::string& path, const std::string& login = "", const std::string& password = "") {
    return box().DisplayFromFTP("127.0.0.1", path, login, password, server_.port());
  }
  std::vector<fs::path> TempFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(temp_.path())) files.push_back(entry.path());
    return files;
  }
  const engine::ImageSlot* CurrentSlot() {
    for (const engine::ImageSlot& slot : engine::Images().Slots) {
      if (slot.Id != engine::kNoImage && slot.Id == box().GetNativeImage()) return &slot;
    }
    return nullptr;
  }

  TestFolder temp_{"ftp_temp"};
  TestFolder remote_{"ftp_served"};
  TestServer server_{{"ftp", remote_.path().string(), "viewer", "secret"}};
  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(DisplayFromFtpTest, ImageIsShownFromItsOwnTemporaryFileUntilClosed) {
  ASSERT_EQ(Show("image.gif"), QuorvexStatus::OK);
  EXPECT_EQ(box().GetImageFormat(), "GIF");
  const std::vector<fs::path> files = TempFiles();
  ASSERT_EQ(files.size(), 1u);
  struct stat info {};
  ASSERT_EQ(::stat(files[0].c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const engine::ImageSlot* slot = CurrentSlot();
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(fs::path(slot->SourcePath), files[0]);
  EXPECT_TRUE(slot->DeleteFileOnRelease);
  box().CloseImage();
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(DisplayFromFtpTest, PasswordLoginAndActiveModeWork) {
  EXPECT_EQ(Show("image.gif", "viewer", "secret"), QuorvexStatus::OK);
  box().SetFtpPassiveMode(false);
  EXPECT_EQ(Show("sub dir/image.gif", "viewer", "secret"), QuorvexStatus::OK);
  // A load does not release the image shown before, so each image keeps
  // its file: one goes with CloseImage, the other when the engine stops.
  EXPECT_EQ(TempFiles().size(), 2u);
  box().CloseImage();
  EXPECT_EQ(TempFiles().size(), 1u);
  control_->Destroy();
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(DisplayFromFtpTest, RemotePathsAreWrittenTheServersWay) {
  EXPECT_EQ(FtpRemotePath("  \\\\sub dir\\image.gif "), "sub dir/image.gif");
  EXPECT_EQ(FtpRemotePath("///image.gif"), "/image.gif");
  EXPECT_EQ(FtpRemotePath("/image.gif"), "image.gif");
  EXPECT_EQ(FtpRemotePath("   "), "");
  EXPECT_EQ(Show("  \\\\sub dir\\image.gif "), QuorvexStatus::OK);
  EXPECT_EQ(Show("///image.gif"), QuorvexStatus::OK);
}

TEST_F(DisplayFromFtpTest, FailuresGiveTheirStatusesAndLeaveNoFile) {
  EXPECT_EQ(Show("image.gif", "viewer", "wrong"), QuorvexStatus::InternetConnectError);
  const int closedPort = [] {
    const TestServer gone({"silent"});
    return gone.port();
  }();
  EXPECT_EQ(box().DisplayFromFTP("127.0.0.1", "image.gif", "", "", closedPort), QuorvexStatus::InternetConnectError);
  EXPECT_EQ(Show("missing.gif"), QuorvexStatus::InternetFtpGetFileError);
  EXPECT_EQ(Show("locked.gif"), QuorvexStatus::InternetFtpGetFileError);
  EXPECT_TRUE(TempFiles().empty());
  const QuorvexStatus textStatus = ByteArrayStatus(PatternBytes(500));
  EXPECT_NE(textStatus, QuorvexStatus::OK);
  EXPECT_EQ(Show("notes.txt"), textStatus);
  EXPECT_EQ(box().GetNativeImage(), engine::kNoImage);
  EXPECT_TRUE(TempFiles().empty());
  ::setenv("ftp_proxy", "unused", 1);
  ::setenv("all_proxy", "http://[bad", 1);
  EXPECT_EQ(Show("image.gif"), QuorvexStatus::InternetOpenError);
  ::unsetenv("all_proxy");
  ::unsetenv("ftp_proxy");
}

TEST_F(DisplayFromFtpTest, ForcedTemporaryCopyAndTheDownloadBothGoWithTheImage) {
  box().put_ImageForceTemporaryMode(true);
  ASSERT_EQ(Show("image.gif"), QuorvexStatus::OK);
  EXPECT_FALSE(TempFiles().empty());
  box().CloseImage();
  EXPECT_TRUE(TempFiles().empty());
}

// Calls into the control from each DataReceived.
class CallingSink final : public ImageBoxEvents {
 public:
  void DataReceived(std::int32_t, std::int32_t, std::int32_t) override { onEvent(++events); }
  int events = 0;
  std::function<void(int)> onEvent;
};

// An FTP display from inside a URL download's event leaves the download
// reachable by the stop when it returns.
TEST_F(DisplayFromFtpTest, FtpDisplayDuringAUrlDownloadKeepsTheDownloadStoppable) {
  TestFolder served("ftp_http_files");
  served.Write("large.gif", PaddedGif(100000));
  const TestServer http({"http", served.path().string()});
  CallingSink sink;
  QuorvexStatus ftpStatus = QuorvexStatus::GenericError;
  sink.onEvent = [&](int event) {
    if (event == 1) ftpStatus = Show("image.gif");
    if (event == 2) box().DisplayFromURLStop();
  };
  box().Advise(&sink);
  EXPECT_EQ(box().DisplayFromURL("127.0.0.1", "/file/large.gif", http.port()),
            QuorvexStatus::InternetHttpTransferError);
  EXPECT_EQ(ftpStatus, QuorvexStatus::OK);
  EXPECT_EQ(sink.events, 2);
  box().Advise(nullptr);
}

}  // namespace
}  // namespace pixavue::testing
