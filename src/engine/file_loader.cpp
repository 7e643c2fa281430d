// The file chain: the path as the user gave it (or chose it), opened and
// read once, then the plug-in, the imaging library's decoder and the
// platform's picture loader in turn, until one of them reads the file's
// bytes.

#include <sys/stat.h>

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/picture_io.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/shell/file_dialog.h>

namespace pixavue::engine {
namespace {

using namespace pixavue::platform;

// Paths of this length or less are taken as they are.
constexpr std::size_t kShortPathLength = 3;
// Characters before the part whose doubled separators are collapsed, so
// that a network path keeps its leading "//".
constexpr std::size_t kKeptPrefixLength = 2;

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Every run of separators in text becomes one separator.
std::string CollapseSeparators(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  return out;
}

// An image made from a metafile or icon picture is a bitmap now; it is
// named after the file's format, which is what a user asks about. Bitmap
// pictures keep the name of their bitmap.
void NameAfterPicture(IPicture* picture, ImageId id) {
  SHORT type = PICTYPE_NONE;
  picture->get_Type(&type);
  ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return;
  if (type == PICTYPE_METAFILE) slot->FormatName = "WMF";
  if (type == PICTYPE_ENHMETAFILE) slot->FormatName = "EMF";
  if (type == PICTYPE_ICON) slot->FormatName = "ICON";
}

}  // namespace

std::string NormalisePath(std::string_view path) {
  std::string result(TrimSpaces(path));
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  if (result.size() <= kShortPathLength) return result;
  std::size_t start = 0;
  while (result.compare(start, 3, "///") == 0) ++start;
  result.erase(0, start);
  if (result.size() <= kKeptPrefixLength) return result;
  return result.substr(0, kKeptPrefixLength) + CollapseSeparators(std::string_view(result).substr(kKeptPrefixLength));
}

std::string ResolvePath(std::string_view path) {
  std::string given(path);
  struct stat entry {};
  if (!given.empty() && ::lstat(given.c_str(), &entry) == 0) return given;
  return NormalisePath(path);
}

std::string ChooseFile(HWND owner) {
  OpenFileRequest request;
  request.title = "Open File";
  request.owner = owner;
  request.maxFileNameLength = kDefaultFileNameBufferSize;
  return ChooseOpenFile(request).value_or(std::string());
}

QuorvexStatus LoadFromFile(std::string_view givenPath, const FileLoadOptions& options, ImageId& id) {
  id = kNoImage;
  std::string path = ResolvePath(givenPath);
  if (options.mayShowDialog && path.empty()) path = ResolvePath(ChooseFile(options.owner));
  OpenedFile file;
  const QuorvexStatus opened = OpenForLoading(path, file);
  if (opened != QuorvexStatus::OK) return opened;

  const bool cm = options.colorManaged;
  // With colour management the library's colour-managed decoder comes first.
  if (cm && LoadWithGdiplus(file, true, options.inPlaceTiff, options.inPlaceGif, id) == QuorvexStatus::OK) {
    return QuorvexStatus::OK;
  }
  const QuorvexStatus pluginStatus = LoadWithPlugin(file.path, cm, options.inPlaceTiff, options.inPlaceGif, id);
  if (pluginStatus == QuorvexStatus::OK) return pluginStatus;
  if (LoadWithGdiplus(file, cm, options.inPlaceTiff, options.inPlaceGif, id) == QuorvexStatus::OK) {
    return QuorvexStatus::OK;
  }
  if (LoadViaPicture(file, id) == QuorvexStatus::OK) return QuorvexStatus::OK;
  // The plug-in's verdict is the most telling one: absent, format left to
  // the library, file not openable, or its conversion status.
  return pluginStatus;
}

QuorvexStatus LoadViaPicture(const OpenedFile& file, ImageId& id) {
  id = kNoImage;
  try {
    ComPtr<IPicture> picture;
    if (FAILED(LoadPictureStream(FromStart(file), picture.ReleaseAndGetAddressOf()))) {
      return QuorvexStatus::UnknownImageFormat;
    }
    if (LoadFromPicture(picture.Get(), id) == QuorvexStatus::OK) {
      NameAfterPicture(picture.Get(), id);
      return QuorvexStatus::OK;
    }
  } catch (...) {
    // A run-time failure of the picture step is one more format it cannot read.
  }
  id = kNoImage;
  return QuorvexStatus::UnknownImageFormat;
}

void AttachTempFile(ImageId id, const std::string& path) {
  ImageSlot* slot = SlotOf(id);
  if (slot == nullptr) return;
  slot->SourcePath = path;
  slot->DeleteFileOnRelease = true;
}

}  // namespace pixavue::engine
