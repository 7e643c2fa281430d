#include <pixavue/support/quorvex_status.h>

#include <array>
#include <utility>

namespace pixavue {
namespace {

using Entry = std::pair<QuorvexStatus, std::string_view>;

#define PIXAVUE_STATUS(name) Entry{QuorvexStatus::name, #name}
constexpr std::array kMembers = {
    PIXAVUE_STATUS(OK),
    PIXAVUE_STATUS(GenericError),
    PIXAVUE_STATUS(InvalidParameter),
    PIXAVUE_STATUS(OutOfMemory),
    PIXAVUE_STATUS(ObjectBusy),
    PIXAVUE_STATUS(InsufficientBuffer),
    PIXAVUE_STATUS(NotImplemented),
    PIXAVUE_STATUS(Win32Error),
    PIXAVUE_STATUS(WrongState),
    PIXAVUE_STATUS(Aborted),
    PIXAVUE_STATUS(FileNotFound),
    PIXAVUE_STATUS(ValueOverflow),
    PIXAVUE_STATUS(AccessDenied),
    PIXAVUE_STATUS(UnknownImageFormat),
    PIXAVUE_STATUS(FontFamilyNotFound),
    PIXAVUE_STATUS(FontStyleNotFound),
    PIXAVUE_STATUS(NotTrueTypeFont),
    PIXAVUE_STATUS(UnsupportedGdiplusVersion),
    PIXAVUE_STATUS(GdiplusNotInitialized),
    PIXAVUE_STATUS(PropertyNotFound),
    PIXAVUE_STATUS(PropertyNotSupported),
    PIXAVUE_STATUS(ProfileNotFound),
    PIXAVUE_STATUS(UnsupportedImageFormat),
    PIXAVUE_STATUS(TwainError),
    PIXAVUE_STATUS(WrongQxTwainVersion),
    PIXAVUE_STATUS(BadTwainState),
    PIXAVUE_STATUS(TwainTransferCanceled),
    PIXAVUE_STATUS(TwainTransferError),
    PIXAVUE_STATUS(TwainPdfMustBeCreatedFirst),
    PIXAVUE_STATUS(TwainInvalidTransferMode),
    PIXAVUE_STATUS(WrongGdiplusVersion),
    PIXAVUE_STATUS(CanNotCreateFile),
    PIXAVUE_STATUS(InvalidBarCode),
    PIXAVUE_STATUS(NotIndexedPixelFormat),
    PIXAVUE_STATUS(UnsupportedPixelFormat),
    PIXAVUE_STATUS(InternetOpenError),
    PIXAVUE_STATUS(InternetConnectError),
    PIXAVUE_STATUS(InternetHttpOpenRequestError),
    PIXAVUE_STATUS(InternetHttpQueryError),
    PIXAVUE_STATUS(InternetFtpGetFileError),
    PIXAVUE_STATUS(InternetHttpSendRequestError),
    PIXAVUE_STATUS(InternetHttpInvalidFileLength),
    PIXAVUE_STATUS(InternetHttpTransferError),
    PIXAVUE_STATUS(InternetFtpWriteFileError),
    PIXAVUE_STATUS(PdfCanNotBeDecrypted),
    PIXAVUE_STATUS(PdfPasswordNeeded),
    PIXAVUE_STATUS(PdfBadPassword),
    PIXAVUE_STATUS(PdfCanNotOpenFile),
    PIXAVUE_STATUS(PdfRenderingPageError),
    PIXAVUE_STATUS(PdfUnexpectedError),
    PIXAVUE_STATUS(PdfPlugNotLoaded),
    PIXAVUE_STATUS(PdfErrorAddingImage),
    PIXAVUE_STATUS(QximgplugDllRequired),
    PIXAVUE_STATUS(WrongQximgplugVersion),
    PIXAVUE_STATUS(TemplateNotFound),
    PIXAVUE_STATUS(OCRDictionaryNotFound),
    PIXAVUE_STATUS(BarcodeReader1DPluginNotLoaded),
    PIXAVUE_STATUS(BarcodeReaderDataMatrixPluginNotLoaded),
};
#undef PIXAVUE_STATUS

static_assert(kMembers.size() == kQuorvexStatusMemberCount);

const Entry* FindMember(std::int32_t value) {
  for (const Entry& entry : kMembers) {
    if (ToInt(entry.first) == value) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string_view> QuorvexStatusName(std::int32_t value) {
  if (const Entry* entry = FindMember(value)) return entry->second;
  return std::nullopt;
}

std::optional<QuorvexStatus> QuorvexStatusFromInt(std::int32_t value) {
  if (const Entry* entry = FindMember(value)) return entry->first;
  return std::nullopt;
}

}  // namespace pixavue
