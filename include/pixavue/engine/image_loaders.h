#pragma once
// The loaders: every kind of source the control accepts becomes one
// registered image. Each loader writes the new ImageId to `id` (kNoImage
// on failure) and returns a status; a failed load leaves nothing new in the
// image table and no temporary file behind.
//
// Files go through a chain: the image plug-in (every format but BMP, PNG
// and GIF), then the imaging library's decoder, then the platform's picture
// loader. Multi-frame GIF and multi-page TIFF images become documents
// (image_store.h SelectPage). Streams, pictures, metafiles, handles, packed
// DIBs and the clipboard go straight to the imaging library.

#include <cstdint>
#include <string>
#include <string_view>

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/global_memory.h>
#include <pixavue/platform/ole/picture.h>
#include <pixavue/platform/ole/stream.h>
#include <pixavue/platform/window/types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Trims spaces, turns every "\" into "/" and, for paths longer than three
// characters, drops leading characters while the path starts with three
// separators and collapses doubled separators from the third character on,
// so that a leading "//" stays.
std::string NormalisePath(std::string_view path);

// The path a loader opens: the path as given when something exists under
// that very name (spaces and "\" are ordinary characters of a Linux name,
// and the normalised form could name another file), else its normalised
// form, for paths written for another platform.
std::string ResolvePath(std::string_view path);

// A file opened for a load: the path it was opened under and a memory
// stream over the bytes read from it. Every step of a load reads these
// bytes (FromStart), never the path again.
struct OpenedFile {
  std::string path;
  platform::ComPtr<platform::IStream> contents;
};

// Opens path without waiting, checks through that descriptor that it is a
// regular file below 2 GiB and reads it once. FileNotFound for an empty
// path, a missing or unreadable file, a folder, device, pipe or socket, or
// a larger file; OutOfMemory.
QuorvexStatus OpenForLoading(const std::string& path, OpenedFile& file);

// The file's stream positioned at its start; null when there is none.
platform::IStream* FromStart(const OpenedFile& file);

// The "Open File" dialog of the thread's shell host, owned by `owner`: the
// chosen path, or "" when cancelled.
std::string ChooseFile(platform::HWND owner);

struct FileLoadOptions {
  bool colorManaged = false;
  bool inPlaceTiff = true;  // false: pages are split into page files
  bool inPlaceGif = true;
  platform::HWND owner = platform::kNoWindow;
  bool mayShowDialog = false;  // an empty path asks the user for a file
};

// The whole file chain on the file opened once (OpenForLoading) under the
// resolved path. FileNotFound for an empty path (after the dialog) or a
// file that cannot be read; when every step fails, the plug-in step's
// status (Aborted while the plug-in is absent).
QuorvexStatus LoadFromFile(std::string_view path, const FileLoadOptions& options, ImageId& id);

// The chain's steps. LoadWithPlugin: Aborted (9) while the plug-in is
// absent; UnknownImageFormat for BMP, PNG, GIF and files it does not know.
QuorvexStatus LoadWithPlugin(const std::string& path, bool colorManaged, bool inPlaceTiff, bool inPlaceGif,
                             ImageId& id);
QuorvexStatus LoadWithGdiplus(const OpenedFile& file, bool colorManaged, bool inPlaceTiff, bool inPlaceGif,
                              ImageId& id);
// Any failure gives UnknownImageFormat.
QuorvexStatus LoadViaPicture(const OpenedFile& file, ImageId& id);

// Turns a freshly decoded multi-frame GIF or multi-page TIFF (`loaded`) into
// a document: in place (the decoder keeps the frames) or split (each frame
// saved to a page file, `loaded` released). Anything else passes through
// with id = loaded.
QuorvexStatus AdoptMultiFrame(const std::string& sourcePath, ImageId loaded, bool inPlaceTiff, bool inPlaceGif,
                              ImageId& id);

// Stream documents are always split: the stream need not outlive the call.
// No stream: InvalidParameter.
QuorvexStatus LoadFromStream(platform::IStream* stream, bool colorManaged, ImageId& id);

// Bitmap, metafile, icon and enhanced-metafile pictures; metafiles are
// rendered onto white at their own size. Another type: InvalidParameter.
QuorvexStatus LoadFromPicture(platform::IPicture* picture, ImageId& id);

// The first clipboard format present of DIB, bitmap, palette and metafile
// picture; none: GenericError.
QuorvexStatus LoadFromClipboard(ImageId& id);

// A bitmap over a packed DIB in a global memory block, which the caller
// keeps alive while the image lives unless takeOwnership hands it to the
// image. A 1-bit DIB whose first palette entry is white is rewritten with
// black first and its bits inverted, so it looks the same. wholeDots rounds
// the resolution to whole dots per inch.
QuorvexStatus LoadFromGdiDib(platform::HGLOBAL memory, bool takeOwnership, bool wholeDots, ImageId& id);

// The metafile file (path resolved and opened as LoadFromFile does) drawn
// into a 32-bit ARGB bitmap of its size times scale.
QuorvexStatus LoadMetafileScaled(std::string_view path, float scale, ImageId& id);

// A bitmap handle, else the same handle taken as an icon. The caller keeps
// and frees its handles.
QuorvexStatus LoadFromHBitmap(platform::HBITMAP bitmap, ImageId& id);
QuorvexStatus LoadFromHIcon(platform::HICON icon, ImageId& id);

// Ties a temporary file to an image: it is deleted when the image is
// released.
void AttachTempFile(ImageId id, const std::string& path);

}  // namespace pixavue::engine
