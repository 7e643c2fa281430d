#pragma once
// The clipboard of the process, with the Windows calls and the image
// formats the control exchanges: CF_BITMAP (an HBITMAP), CF_METAFILEPICT (a
// global memory block holding a METAFILEPICT), CF_DIB (a global memory block
// holding a packed DIB: BITMAPINFOHEADER, colour table or masks, rows) and
// CF_PALETTE (an HPALETTE).
//
// As on Windows:
//  - a thread opens the clipboard (OpenClipboard), works with it and closes
//    it; while it is open, other threads cannot open it or use it; reading
//    or changing data, emptying and enumerating fail (0 / false) unless the
//    calling thread has it open;
//  - SetClipboardData hands the handle to the clipboard, which deletes it
//    when it is replaced or emptied (for CF_METAFILEPICT the metafile inside
//    the block too); the caller must not delete it any more. A handle of the
//    wrong kind, or another format, is refused and stays the caller's;
//  - GetClipboardData returns a handle the clipboard keeps owning;
//  - CF_DIB is synthesised from CF_BITMAP and CF_BITMAP from CF_DIB on
//    request; a synthesised handle is kept with the data it came from.
// Deliberately simpler: one clipboard per process (no sessions between
// processes except through a bridge, below), no delayed rendering (a null
// handle is refused), no owner or viewer messages.

#include <cstdint>
#include <optional>
#include <vector>

#include <pixavue/platform/gdi/gdi_types.h>
#include <pixavue/platform/ole/global_memory.h>
#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_METAFILEPICT = 3;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_PALETTE = 9;

// The handle of clipboard data: an HBITMAP, HPALETTE or HGLOBAL by format.
enum class HANDLE : std::uintptr_t {};

template <class Handle>
constexpr HANDLE ToHandle(Handle handle) {
  return HANDLE{static_cast<std::uintptr_t>(handle)};
}
template <class Handle>
constexpr Handle FromHandle(HANDLE handle) {
  return Handle{static_cast<std::uintptr_t>(handle)};
}

// Opens the clipboard for the calling thread. Fails while another thread
// has it open, or this thread has it open for another window.
bool OpenClipboard(HWND owner);
bool CloseClipboard();
// Deletes all data.
bool EmptyClipboard();
// Puts data in one of the four formats, replacing (and deleting) what that
// format held. Returns the handle, or 0 when refused.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The data of the format, synthesised when possible; 0 when there is none.
HANDLE GetClipboardData(UINT format);
// Needs no open clipboard.
bool IsClipboardFormatAvailable(UINT format);
// The available format after `format` (0: the first); 0 after the last.
UINT EnumClipboardFormats(UINT format);

// What the clipboard holds after a change, for a host's desktop clipboard.
struct ClipboardSnapshot final {
  std::vector<UINT> formats;                    // available formats, synthesised ones included
  std::optional<std::vector<std::uint8_t>> dib;  // the packed DIB when CF_DIB is available
};

// Connects the process clipboard to a desktop clipboard. Calls come on the
// thread that uses the clipboard, never while the clipboard's own lock is
// held, so they may call IsClipboardFormatAvailable but must not open it.
class ClipboardBridge {
 public:
  virtual ~ClipboardBridge() = default;
  // After CloseClipboard when the content was emptied or set while open.
  virtual void Changed(const ClipboardSnapshot& snapshot) = 0;
  // The desktop clipboard's image as a packed DIB when another application
  // put it there after the last Changed; nullopt otherwise (no image, or it
  // is ours). Asked by OpenClipboard and IsClipboardFormatAvailable; an
  // image given replaces the process clipboard's content as CF_DIB.
  virtual std::optional<std::vector<std::uint8_t>> ReadExternalDib() = 0;
};

// Null disconnects. The bridge must outlive its use.
void SetClipboardBridge(ClipboardBridge* bridge);

}  // namespace pixavue::platform
