#include <pixavue/platform/ole/file_property_bag.h>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "temp_directory.h"

namespace pixavue::platform {
namespace {

using testing::ReadTextFile;
using testing::WriteTextFile;

const std::string kHeader = std::string(kPropertyBagTextHeader) + "\n";

class FilePropertyBagTest : public ::testing::Test {
 protected:
  std::filesystem::path BagPath() const { return directory_ / "control.bag"; }

  // Every entry of the folder except the named one: leftovers of a save.
  std::vector<std::string> OtherEntries(const std::string& except) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory_.Path())) {
      if (entry.path().filename() != except) names.push_back(entry.path().filename().string());
    }
    return names;
  }

  testing::TempDirectory directory_;
};

TEST_F(FilePropertyBagTest, SavedPropertiesLoadBackIntoANewBag) {
  FilePropertyBag saved(BagPath());
  ASSERT_EQ(WriteProperty(saved, "ScrollBars", false, true), S_OK);
  ASSERT_EQ(WriteProperty(saved, "Zoom", 0.1 + 0.2, 1.0), S_OK);
  ASSERT_EQ(WriteProperty(saved, "RectBorderSize", std::int16_t{3}, std::int16_t{1}), S_OK);
  ASSERT_EQ(WriteProperty(saved, "ImageMaskColor", 65535, 65536), S_OK);
  ASSERT_EQ(WriteProperty(saved, "Gamma", 2.2f, 1.0f), S_OK);
  ASSERT_EQ(WriteProperty(saved, "Caption", std::string("\xE2\x82\xAC \"x\"\n"), std::string()), S_OK);
  ASSERT_EQ(saved.Save(), S_OK);
  EXPECT_EQ(ReadTextFile(BagPath()).rfind(kHeader, 0), 0u);
  EXPECT_TRUE(OtherEntries("control.bag").empty());

  FilePropertyBag loaded(BagPath());
  ASSERT_EQ(loaded.Load(), S_OK);
  EXPECT_EQ(ReadProperty(loaded, "ScrollBars", true), false);
  EXPECT_EQ(ReadProperty(loaded, "Zoom", 1.0), 0.1 + 0.2);
  EXPECT_EQ(ReadProperty(loaded, "RectBorderSize", std::int16_t{1}), 3);
  EXPECT_EQ(ReadProperty(loaded, "ImageMaskColor", 65536), 65535);
  EXPECT_EQ(ReadProperty(loaded, "Gamma", 1.0f), 2.2f);
  EXPECT_EQ(ReadProperty(loaded, "Caption", std::string()), "\xE2\x82\xAC \"x\"\n");
  EXPECT_EQ(loaded.Contents().Count(), 6u);
}

TEST_F(FilePropertyBagTest, LoadFailuresKeepTheBagAsItWas) {
  FilePropertyBag bag(BagPath());
  ASSERT_EQ(bag.Write("Kept", Variant::FromInt32(1)), S_OK);
  EXPECT_EQ(bag.Load(), STG_E_FILENOTFOUND);

  WriteTextFile(BagPath(), kHeader + "Good = i4 1\nBad = i2 99999\n");
  PropertyBagTextError error;
  EXPECT_EQ(bag.Load(&error), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(error.line, 3u);

  std::filesystem::resize_file(BagPath(), kMaxPropertyBagTextBytes + 1);
  EXPECT_EQ(bag.Load(), STG_E_DOCFILETOOLARGE);

  EXPECT_EQ(FilePropertyBag(directory_.Path()).Load(), STG_E_ACCESSDENIED) << "a folder is not a bag";
  EXPECT_EQ(bag.Contents().Count(), 1u);
  EXPECT_TRUE(bag.Contents().Contains("Kept"));
}

TEST_F(FilePropertyBagTest, WriteRefusesNamesTheFileCannotHold) {
  FilePropertyBag bag(BagPath());
  EXPECT_EQ(bag.Write("two words", Variant::FromInt32(1)), E_INVALIDARG);
  EXPECT_EQ(bag.Write("", Variant::FromInt32(1)), E_INVALIDARG);
  EXPECT_EQ(bag.Contents().Count(), 0u);
}

TEST_F(FilePropertyBagTest, SaveReplacesTheFileAndKeepsItsPermissions) {
  WriteTextFile(BagPath(), "old");
  ASSERT_EQ(::chmod(BagPath().c_str(), 0644), 0);
  FilePropertyBag bag(BagPath());
  ASSERT_EQ(bag.Write("A", Variant::FromInt32(1)), S_OK);
  ASSERT_EQ(bag.Save(), S_OK);
  EXPECT_EQ(ReadTextFile(BagPath()), kHeader + "A = i4 1\n");
  struct stat info {};
  ASSERT_EQ(::stat(BagPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  EXPECT_TRUE(OtherEntries("control.bag").empty());
}

TEST_F(FilePropertyBagTest, SaveWorksForTheLongestFileName) {
  const std::string longest(255, 'b');
  FilePropertyBag bag(directory_ / longest);
  ASSERT_EQ(bag.Write("A", Variant::FromInt32(1)), S_OK);
  ASSERT_EQ(bag.Save(), S_OK);
  EXPECT_TRUE(OtherEntries(longest).empty());
  FilePropertyBag loaded(directory_ / longest);
  ASSERT_EQ(loaded.Load(), S_OK);
  EXPECT_EQ(ReadProperty(loaded, "A", 0), 1);
}

TEST_F(FilePropertyBagTest, SaveIntoAPathThatCannotExistFails) {
  const auto notAFolder = directory_ / "plain-file";
  WriteTextFile(notAFolder, "user data");
  FilePropertyBag bag(notAFolder / "control.bag");
  ASSERT_EQ(bag.Write("A", Variant::FromInt32(1)), S_OK);
  EXPECT_EQ(bag.Save(), STG_E_FILENOTFOUND);
  EXPECT_EQ(ReadTextFile(notAFolder), "user data");
}

// Tests run as root, so permissions cannot make the save fail. A file size
// limit can: writing the temporary file beyond it fails with EFBIG, as a full
// disk would.
class FileSizeLimit final {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(FilePropertyBagTest, FailedSaveLeavesThePreviousFileIntact) {
  const std::string previous = kHeader + "Zoom = r8 2\n";
  WriteTextFile(BagPath(), previous);
  FilePropertyBag bag(BagPath());
  ASSERT_EQ(bag.Write("Caption", Variant::FromString(std::string(100000, 'x'))), S_OK);
  HRESULT status = S_OK;
  {
    const FileSizeLimit limit(4096);
    status = bag.Save();
  }
  EXPECT_EQ(status, STG_E_MEDIUMFULL);
  EXPECT_EQ(ReadTextFile(BagPath()), previous);
  EXPECT_TRUE(OtherEntries("control.bag").empty()) << "the temporary file must be removed";
}

}  // namespace
}  // namespace pixavue::platform
