// The control's clipboard members, files dropped on it through the host,
// and its object-safety answers.

#include <pixavue/engine/image_queries.h>
#include <pixavue/platform/ole/drag_drop.h>
#include <pixavue/platform/ole/guid.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <filesystem>
#include <fstream>

#include "control_test_support.h"
#include "transform_test_support.h"

namespace pixavue::testing {
namespace {

namespace fs = std::filesystem;

class ClipboardTest : public ControlTest {
 protected:
  ClipboardTest() : control_(NewControl()) { EmptyTheClipboard(); }
  ~ClipboardTest() override { EmptyTheClipboard(); }
  ImageBox& box() { return control_->Control(); }

  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(ClipboardTest, RegionIsCopiedPixelExactAndTheCopyReleased) {
  box().CopyRegion2Clipboard(0, 0, 10, 10);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::GenericError);

  const engine::ImageId image = RegisterPattern(24, 16);
  ASSERT_EQ(box().SetNativeImage(image), QuorvexStatus::OK);
  const std::size_t live = LiveImages();
  box().CopyRegion2Clipboard(3, 4, 10, 10);
  EXPECT_EQ(box().GetStat(), QuorvexStatus::OK);
  EXPECT_EQ(LiveImages(), live);
  const engine::ImageId pasted = ClipboardImage();
  ASSERT_NE(pasted, engine::kNoImage);
  const auto source = PixelsOf(image);
  const auto region = PixelsOf(pasted);
  ASSERT_EQ(region.size(), 100u);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) ASSERT_EQ(region[y * 10 + x], source[(y + 4) * 24 + x + 3]) << x << "," << y;
  }
  engine::ReleaseImage(pasted);
}

TEST_F(ClipboardTest, RegionsTheImageDoesNotHoldLeaveNothingBehind) {
  ASSERT_EQ(box().SetNativeImage(RegisterPattern(8, 8)), QuorvexStatus::OK);
  const std::size_t live = LiveImages();
  const struct {
    int left, top, width, height;
  } regions[] = {{4, 4, 5, 2}, {-1, 0, 2, 2}, {0, 0, 0, 3}, {0, 0, 3, -2}, {0x7FFFFFF0, 0, 0x7FFFFFF0, 1}};
  for (const auto& r : regions) {
    SCOPED_TRACE(::testing::Message() << r.left << "," << r.top << " " << r.width << "x" << r.height);
    box().CopyRegion2Clipboard(r.left, r.top, r.width, r.height);
    EXPECT_EQ(box().GetStat(), QuorvexStatus::InvalidParameter);
    EXPECT_EQ(LiveImages(), live);
    EXPECT_FALSE(platform::IsClipboardFormatAvailable(platform::CF_BITMAP));
  }
}

TEST_F(ClipboardTest, WholeImageCopyTakesTheDisplayCopyAndReportsNothing) {
  box().Copy2Clipboard();
  EXPECT_FALSE(platform::IsClipboardFormatAvailable(platform::CF_BITMAP));

  ASSERT_EQ(box().SetNativeImage(RegisterPattern(6, 4)), QuorvexStatus::OK);
  box().CopyRegion2Clipboard(0, 0, 7, 1);  // a failure Copy2Clipboard leaves as it is
  const QuorvexStatus left = box().GetStat();
  box().Copy2Clipboard();
  EXPECT_EQ(box().GetStat(), left);
  engine::ImageId pasted = ClipboardImage();
  EXPECT_EQ(PixelsOf(pasted), PixelsOf(box().GetNativeImage()));
  engine::ReleaseImage(pasted);

  // With a display copy, the clipboard gets what the view shows: here the
  // turned frame of a GIF whose frames stay in the decoder.
  platform::test::GifBuilder gif(3, 2, {0xFF000000u, 0xFFFFFFFFu});
  gif.Control(1, 10).Image(0, 0, 3, 2, {0, 1, 1, 0, 0, 1}).Control(1, 10).Image(0, 0, 3, 2, {1, 1, 1, 1, 1, 1});
  const TempFile file("clipboard_gif", gif.Bytes());
  ASSERT_EQ(box().DisplayFromFile(file.path().string()), QuorvexStatus::OK);
  ASSERT_EQ(box().Rotate90(), QuorvexStatus::OK);
  const engine::ImageId copy = box().Runtime().EngineState.DisplayCopy;
  ASSERT_NE(copy, engine::kNoImage);
  box().Copy2Clipboard();
  pasted = ClipboardImage();
  std::int32_t width = 0;
  engine::GetImageWidth(pasted, width);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(PixelsOf(pasted), PixelsOf(copy));
  engine::ReleaseImage(pasted);
}

// Files in a folder of the test's own, with every kind of name the drop
// must sort out.
class DropTest : public ControlTest {
 protected:
  DropTest()
      : folder_(fs::temp_directory_path() / ("pixavue_drop_" + std::to_string(::getpid()))), control_(NewControl()) {
    fs::create_directories(folder_ / "folder");
    for (const char* name : {"a.png", "b.jpg", ".hidden.png", "caf\xE9.png"}) std::ofstream(folder_ / name) << "x";
    control_->Control().Advise(&sink_);
    control_->Control().put_ViewerDrop(true);
  }
  ~DropTest() override {
    control_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::int32_t Drop(const std::vector<std::string>& paths) {
    return host_.DropFiles(paths, control_->Control().get_hwnd(), 5, 5, platform::DROPEFFECT_COPY);
  }

  fs::path folder_;
  CapturingSink sink_;
  std::unique_ptr<headless::HeadlessControl> control_;
};

TEST_F(DropTest, ExistingNormalFilesAreHandedOnInOrder) {
  EXPECT_EQ(Drop({Path("folder"), Path("a.png"), Path("missing.png"), Path("b.jpg")}), platform::DROPEFFECT_COPY);
  EXPECT_EQ(sink_.order, (std::vector<std::string>{"FileDrop", "FilesDrop"}));
  EXPECT_EQ(sink_.firstFiles, std::vector<std::string>{Path("a.png")});
  ASSERT_EQ(sink_.fileLists.size(), 1u);
  EXPECT_EQ(sink_.fileLists[0], (std::vector<std::string>{Path("a.png"), Path("b.jpg")}));
  EXPECT_EQ(sink_.counts, std::vector<std::int32_t>{2});
}

TEST_F(DropTest, NothingIsRaisedWithoutANormalFile) {
  // A socket is neither a folder nor a regular file.
  const std::string socketPath = Path("socket");
  const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::vector<std::vector<std::string>> drops = {
      {Path("folder")}, {Path("missing.png")}, {Path(".hidden.png")}, {}, {""}, {socketPath, "/dev/null"},
      {Path("caf\xC3\xA9.png")}};  // the same name in UTF-8 is another, missing file
  for (const auto& paths : drops) {
    EXPECT_EQ(Drop(paths), platform::DROPEFFECT_COPY);
  }
  ::close(socketFd);
  EXPECT_TRUE(sink_.order.empty());
}

TEST_F(DropTest, NamesThatAreNotUtf8KeepTheirBytes) {
  Drop({Path("caf\xE9.png")});
  EXPECT_EQ(sink_.firstFiles, std::vector<std::string>{Path("caf\xE9.png")});
}

TEST_F(DropTest, OnlyAControlThatAcceptsDropsReceivesThem) {
  control_->Control().put_ViewerDrop(false);
  EXPECT_EQ(control_->Control().Surface().DropMode(), SurfaceDropMode::None);
  EXPECT_EQ(Drop({Path("a.png")}), platform::DROPEFFECT_NONE);
  EXPECT_TRUE(sink_.order.empty());
  control_->Control().put_ViewerDrop(true);
  EXPECT_EQ(control_->Control().Surface().DropMode(), SurfaceDropMode::Manual);
  Drop({Path("a.png")});
  EXPECT_EQ(sink_.order.size(), 2u);
}

using SafetyTest = ControlTest;

TEST_F(SafetyTest, ScriptingAndInitialisationAnswers) {
  auto control = NewControl();
  platform::IObjectSafety& safety = control->Control();
  std::uint32_t supported = 0;
  std::uint32_t enabled = 99;
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(&platform::IID_IPersistPropertyBag, &supported, &enabled), platform::S_OK);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 2u);
  for (const platform::IID* persistence : {&platform::IID_IPersistStream, &platform::IID_IPersistStorage}) {
    enabled = 99;
    EXPECT_EQ(safety.GetInterfaceSafetyOptions(persistence, &supported, &enabled), platform::S_OK);
    EXPECT_EQ(enabled, 2u);
  }
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(&platform::IID_IDispatch, &supported, &enabled), platform::S_OK);
  EXPECT_EQ(enabled, 1u);
  enabled = 99;
  supported = 0;
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(&platform::IID_IOleObject, &supported, &enabled), platform::E_NOINTERFACE);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(nullptr, &supported, &enabled), platform::S_OK);
  EXPECT_EQ(enabled, 99u);  // not written without an interface
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(&platform::IID_IDispatch, nullptr, &enabled), platform::E_POINTER);
  EXPECT_EQ(safety.GetInterfaceSafetyOptions(&platform::IID_IDispatch, &supported, nullptr), platform::E_POINTER);

  using platform::IID_IDispatch;
  using platform::IID_IPersistStream;
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IDispatch, 1, 1), platform::S_OK);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IDispatch, 3, 1), platform::S_OK);  // only the masked bits count
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IDispatch, 3, 3), platform::E_FAIL);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IDispatch, 2, 2), platform::E_FAIL);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IDispatch, 0, 0), platform::E_FAIL);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IPersistStream, 2, 2), platform::S_OK);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IPersistStream, 1, 1), platform::E_FAIL);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&IID_IPersistStream, 3, 3), platform::E_FAIL);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(&platform::IID_IUnknown, 1, 1), platform::E_NOINTERFACE);
  EXPECT_EQ(safety.SetInterfaceSafetyOptions(nullptr, 3, 3), platform::S_OK);
}

}  // namespace
}  // namespace pixavue::testing
