#include <pixavue/support/quorvex_status.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pixavue {
namespace {

// The published values, written out independently of the enumeration so that
// a renumbered or misspelt member is caught.
const std::vector<std::pair<std::string, int>> kPublished = {
    {"OK", 0}, {"GenericError", 1}, {"InvalidParameter", 2}, {"OutOfMemory", 3}, {"ObjectBusy", 4},
    {"InsufficientBuffer", 5}, {"NotImplemented", 6}, {"Win32Error", 7}, {"WrongState", 8}, {"Aborted", 9},
    {"FileNotFound", 10}, {"ValueOverflow", 11}, {"AccessDenied", 12}, {"UnknownImageFormat", 13},
    {"FontFamilyNotFound", 14}, {"FontStyleNotFound", 15}, {"NotTrueTypeFont", 16},
    {"UnsupportedGdiplusVersion", 17}, {"GdiplusNotInitialized", 18}, {"PropertyNotFound", 19},
    {"PropertyNotSupported", 20}, {"ProfileNotFound", 21}, {"UnsupportedImageFormat", 22}, {"TwainError", 30},
    {"WrongQxTwainVersion", 31}, {"BadTwainState", 32}, {"TwainTransferCanceled", 33},
    {"TwainTransferError", 34}, {"TwainPdfMustBeCreatedFirst", 35}, {"TwainInvalidTransferMode", 36},
    {"WrongGdiplusVersion", 40}, {"CanNotCreateFile", 41}, {"InvalidBarCode", 50},
    {"NotIndexedPixelFormat", 61}, {"UnsupportedPixelFormat", 62}, {"InternetOpenError", 100},
    {"InternetConnectError", 101}, {"InternetHttpOpenRequestError", 102}, {"InternetHttpQueryError", 103},
    {"InternetFtpGetFileError", 104}, {"InternetHttpSendRequestError", 105},
    {"InternetHttpInvalidFileLength", 106}, {"InternetHttpTransferError", 107},
    {"InternetFtpWriteFileError", 108}, {"PdfCanNotBeDecrypted", 200}, {"PdfPasswordNeeded", 201},
    {"PdfBadPassword", 202}, {"PdfCanNotOpenFile", 203}, {"PdfRenderingPageError", 204},
    {"PdfUnexpectedError", 205}, {"PdfPlugNotLoaded", 210}, {"PdfErrorAddingImage", 230},
    {"QximgplugDllRequired", 300}, {"WrongQximgplugVersion", 301}, {"TemplateNotFound", 400},
    {"OCRDictionaryNotFound", 500}, {"BarcodeReader1DPluginNotLoaded", 600},
    {"BarcodeReaderDataMatrixPluginNotLoaded", 700},
};

TEST(QuorvexStatusTest, EveryPublishedMemberHasItsValueAndName) {
  ASSERT_EQ(kPublished.size(), static_cast<size_t>(kQuorvexStatusMemberCount));
  for (const auto& [name, value] : kPublished) {
    SCOPED_TRACE(name);
    const auto found = QuorvexStatusName(value);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(std::string(*found), name);
    const auto status = QuorvexStatusFromInt(value);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(ToInt(*status), value);
  }
}

TEST(QuorvexStatusTest, GapsAndOutOfRangeNumbersAreNotMembers) {
  std::set<int> assigned;
  for (const auto& entry : kPublished) assigned.insert(entry.second);
  for (int value = -5; value <= 800; ++value) {
    if (assigned.count(value) != 0) continue;
    SCOPED_TRACE(value);
    EXPECT_FALSE(QuorvexStatusName(value).has_value());
    EXPECT_FALSE(QuorvexStatusFromInt(value).has_value());
  }
}

TEST(QuorvexStatusTest, ImagingStatusesPassUnchangedAndOthersAreNeverInvented) {
  for (int value = 0; value <= 21; ++value) {
    EXPECT_TRUE(IsImagingStatus(value));
    EXPECT_EQ(ToInt(FromImagingStatus(value)), value);
  }
  EXPECT_FALSE(IsImagingStatus(22));
  EXPECT_FALSE(IsImagingStatus(-1));
  // A number outside the imaging block never turns into one of the library's own statuses.
  EXPECT_EQ(FromImagingStatus(22), QuorvexStatus::GenericError);
  EXPECT_EQ(FromImagingStatus(300), QuorvexStatus::GenericError);
  EXPECT_EQ(FromImagingStatus(-1), QuorvexStatus::GenericError);
}

TEST(QuorvexStatusTest, TheTypeIsASigned32BitEnumeration) {
  static_assert(sizeof(QuorvexStatus) == 4);
  static_assert(std::is_signed_v<std::underlying_type_t<QuorvexStatus>>);
  EXPECT_EQ(ToInt(QuorvexStatus::BarcodeReaderDataMatrixPluginNotLoaded), 700);
}

}  // namespace
}  // namespace pixavue
