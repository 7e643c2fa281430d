// Packed DIBs as the clipboard receives them from other applications: the
// bytes become a DIB section through the clipboard's CF_DIB to CF_BITMAP
// synthesis, which is packed again; the packed form must then survive a
// second round trip unchanged.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <pixavue/platform/gdi/gdi.h>
#include <pixavue/platform/ole/clipboard.h>
#include <pixavue/platform/ole/picture_dib.h>

using namespace pixavue::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HGLOBAL block = GlobalAlloc(GHND, size);
  if (size != 0) std::memcpy(GlobalLock(block), data, size);
  GlobalUnlock(block);
  if (!OpenClipboard(kNoWindow) || !EmptyClipboard()) __builtin_trap();
  if (SetClipboardData(CF_DIB, ToHandle(block)) == HANDLE{}) {
    GlobalFree(block);  // refused: still ours
  }
  const auto bitmap = FromHandle<HBITMAP>(GetClipboardData(CF_BITMAP));
  if (bitmap != HBITMAP{}) {
    const auto packed = PackedDibFromBitmap(bitmap);
    if (!packed) __builtin_trap();
    const HBITMAP again = BitmapFromPackedDib(*packed);
    if (again == HBITMAP{} || PackedDibFromBitmap(again) != packed) __builtin_trap();
    DeleteObject(ToGdiObject(again));
  }
  EmptyClipboard();
  CloseClipboard();
  return 0;
}
