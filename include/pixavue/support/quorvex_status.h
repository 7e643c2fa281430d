#pragma once
// The status of every loading, paging, zoom and image operation. Values 0 to
// 21 are the imaging library's own status values, handed on unchanged; the
// higher values belong to this library and to the components that share the
// enumeration. The values are fixed: hosts store and compare the numbers.

#include <cstdint>
#include <optional>
#include <string_view>

namespace pixavue {

enum class QuorvexStatus : std::int32_t {
  // Imaging library block.
  OK = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
  ProfileNotFound = 21,
  // Library block.
  UnsupportedImageFormat = 22,
  TwainError = 30,
  WrongQxTwainVersion = 31,
  BadTwainState = 32,
  TwainTransferCanceled = 33,
  TwainTransferError = 34,
  TwainPdfMustBeCreatedFirst = 35,
  TwainInvalidTransferMode = 36,
  WrongGdiplusVersion = 40,
  CanNotCreateFile = 41,
  InvalidBarCode = 50,
  NotIndexedPixelFormat = 61,
  UnsupportedPixelFormat = 62,
  // Network block.
  InternetOpenError = 100,
  InternetConnectError = 101,
  InternetHttpOpenRequestError = 102,
  InternetHttpQueryError = 103,
  InternetFtpGetFileError = 104,
  InternetHttpSendRequestError = 105,
  InternetHttpInvalidFileLength = 106,
  InternetHttpTransferError = 107,
  InternetFtpWriteFileError = 108,
  // PDF block.
  PdfCanNotBeDecrypted = 200,
  PdfPasswordNeeded = 201,
  PdfBadPassword = 202,
  PdfCanNotOpenFile = 203,
  PdfRenderingPageError = 204,
  PdfUnexpectedError = 205,
  PdfPlugNotLoaded = 210,
  PdfErrorAddingImage = 230,
  // Image plug-in and other components of the family.
  QximgplugDllRequired = 300,
  WrongQximgplugVersion = 301,
  TemplateNotFound = 400,
  OCRDictionaryNotFound = 500,
  BarcodeReader1DPluginNotLoaded = 600,
  BarcodeReaderDataMatrixPluginNotLoaded = 700,
};

inline constexpr int kQuorvexStatusMemberCount = 58;

constexpr std::int32_t ToInt(QuorvexStatus status) { return static_cast<std::int32_t>(status); }

// The member name of a status value ("InvalidParameter"), or nothing for a
// number that is not a member. Names are the only texts a status has.
std::optional<std::string_view> QuorvexStatusName(std::int32_t value);

// A status value taken from a number, or nothing when the number is not a
// member of the enumeration.
std::optional<QuorvexStatus> QuorvexStatusFromInt(std::int32_t value);

// True for 0 to 21, the values shared with the imaging library.
constexpr bool IsImagingStatus(std::int32_t value) { return value >= 0 && value <= 21; }

// An imaging-library status handed on unchanged. A value outside 0 to 21
// cannot come from the imaging library and is reported as GenericError,
// so that no library-specific status is ever made up from it.
constexpr QuorvexStatus FromImagingStatus(std::int32_t value) {
  return IsImagingStatus(value) ? static_cast<QuorvexStatus>(value) : QuorvexStatus::GenericError;
}

}  // namespace pixavue
