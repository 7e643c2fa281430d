#pragma once
// The record of one image in the thread's image table, and the table.

#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/platform/ole/global_memory.h>

namespace pixavue::engine {

// Handles of the image plug-in (bitmaps, multi-page bitmaps, pages, files);
// 0 = none.
using PluginHandle = std::uintptr_t;

// One IPTC tag copied from a plug-in bitmap.
struct IptcTag {
  std::int32_t id = 0;
  std::string key;
  std::string value;
};

struct ImageSlot {
  ImageId Id = kNoImage;  // 0 = free slot
  SourceKind Kind = SourceKind::Plain;
  platform::HGLOBAL DibMemory = platform::kNullHglobal;
  platform::BYTE* PixelBuffer = nullptr;
  platform::GpImage* Handle = nullptr;  // null for a document whose pages are separate images
  PluginHandle PluginBitmap = 0;
  PluginHandle PluginPage = 0;
  std::string SourcePath;
  bool DeleteFileOnRelease = false;
  bool OwnsPixelBuffer = false;
  std::string FormatName;
  bool IsMultiPageTiff = false;
  bool IsAnimatedGif = false;
  std::int32_t BitDepth = 0;
  std::int32_t PageCount = 0;
  std::vector<std::string> PageFiles;
  std::vector<ImageId> PageImages;
  std::vector<std::int32_t> PageDelays;  // hundredths of a second
  std::vector<std::int32_t> PageBitDepths;
  std::int32_t CurrentPageIndex = -1;
  bool InPlacePages = false;
  std::int32_t LoopCount = 0;
  std::string GifComment;
  std::vector<IptcTag> IptcTags;
  bool Modified = false;
  PluginHandle PluginFile = 0;

  bool IsDocument() const { return IsMultiPageTiff || IsAnimatedGif; }
};

// Free slots (Id 0) are reused before the table grows; releasing the last
// slot shrinks the table, releasing another clears it in place, so the index
// of a live slot never changes.
struct ImageTable {
  std::vector<ImageSlot> Slots;
};

// The thread's table.
ImageTable& Images();

}  // namespace pixavue::engine
