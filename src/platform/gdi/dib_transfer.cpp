// GetDIBits and SetDIBits: rows copied between a bitmap and a caller's DIB,
// converted when the formats differ. Scan line i counts from the bottom of a
// bottom-up caller DIB and from the top of a top-down one.

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include <pixavue/platform/gdi/gdi.h>

#include "dib_rows.h"
#include "object_table.h"

namespace pixavue::platform {
namespace {

struct Transfer final {
  gdi::Bitmap* bitmap = nullptr;
  gdi::DibFormat caller;  // the caller's rows
  int firstScan = 0;
  int rows = 0;
};

// The image row of the bitmap that scan line `scan` of the caller's DIB shows.
int ImageRow(const Transfer& transfer, int scan) {
  return transfer.caller.topDown ? scan : transfer.bitmap->format.height - 1 - scan;
}

// Checks the handles and the caller's format; nullopt when refused.
std::optional<Transfer> PrepareTransfer(const gdi::TableAccess& access, HDC dc, HBITMAP handle, UINT start,
                                        UINT lines, const BITMAPINFO* info, UINT usage, bool readColors) {
  if (access.Find<gdi::DeviceContext>(HandleBits(dc)) == nullptr) return std::nullopt;
  gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(HandleBits(handle));
  if (bitmap == nullptr) return std::nullopt;
  std::optional<gdi::DibFormat> caller = gdi::FormatFromInfo(info, usage, readColors);
  if (!caller || caller->width != bitmap->format.width) return std::nullopt;
  const int height = std::min(bitmap->format.height, caller->height);
  Transfer transfer{bitmap, std::move(*caller), 0, 0};
  if (start < static_cast<UINT>(height)) {
    transfer.firstScan = static_cast<int>(start);
    transfer.rows = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(height) - start));
  }
  return transfer;
}

// Copies `rows` rows from `source` (row offsets by `sourceRow`) to `target`,
// converting through colours unless the layouts match.
template <class SourceRow, class TargetRow>
bool CopyRows(const gdi::DibFormat& from, const gdi::DibFormat& to, int rows, SourceRow sourceRow,
              TargetRow targetRow) {
  if (gdi::SameLayout(from, to)) {
    const std::size_t bytes = gdi::PaddedRowBytes(from.width, from.bitCount, 1);
    for (int r = 0; r < rows; ++r) std::memcpy(targetRow(r), sourceRow(r), bytes);
    return true;
  }
  std::vector<std::uint32_t> colors;
  try {
    colors.resize(static_cast<std::size_t>(from.width));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int r = 0; r < rows; ++r) {
    gdi::ReadRow(from, sourceRow(r), colors.data());
    gdi::WriteRow(to, colors.data(), targetRow(r));
  }
  return true;
}

void WriteColorTable(const gdi::DibFormat& format, BITMAPINFO* info) {
  auto* table = reinterpret_cast<std::uint8_t*>(info) + info->bmiHeader.biSize;
  std::memcpy(table, format.colors.data(), format.colors.size() * sizeof(RGBQUAD));
  info->bmiHeader.biClrUsed = static_cast<DWORD>(format.colors.size());
}

// Fills the caller's header with the bitmap's own format (biBitCount 0).
int DescribeInto(const gdi::TableAccess& access, HDC dc, HBITMAP handle, BITMAPINFO* info) {
  const gdi::Bitmap* bitmap = access.Find<gdi::Bitmap>(HandleBits(handle));
  if (bitmap == nullptr || access.Find<gdi::DeviceContext>(HandleBits(dc)) == nullptr) return 0;
  if (info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  const DWORD headerSize = info->bmiHeader.biSize;
  info->bmiHeader = bitmap->format.Header();
  info->bmiHeader.biSize = headerSize;
  return bitmap->format.height;
}

}  // namespace

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  if (info == nullptr) return 0;
  gdi::TableAccess access;
  if (info->bmiHeader.biBitCount == 0) return DescribeInto(access, dc, handle, info);
  std::optional<Transfer> transfer = PrepareTransfer(access, dc, handle, start, lines, info, usage, false);
  if (!transfer) return 0;
  const gdi::DibFormat& own = transfer->bitmap->format;
  if (transfer->caller.bitCount <= 8) {
    // Indexed rows are handed out only in the bitmap's own depth, with its table.
    if (transfer->caller.bitCount != own.bitCount) return 0;
    transfer->caller.colors = own.colors;
    WriteColorTable(own, info);
  }
  info->bmiHeader.biSizeImage = static_cast<DWORD>(transfer->caller.ImageBytes());
  if (bits == nullptr) return own.height;
  const auto stride = static_cast<std::size_t>(transfer->caller.Stride());
  auto* target = static_cast<std::uint8_t*>(bits);
  const std::uint8_t* pixels = transfer->bitmap->pixels.get();
  const bool copied = CopyRows(
      own, transfer->caller, transfer->rows,
      [&](int r) { return pixels + own.RowOffset(ImageRow(*transfer, transfer->firstScan + r)); },
      [&](int r) { return target + static_cast<std::size_t>(r) * stride; });
  return copied ? transfer->rows : 0;
}

int SetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage) {
  if (info == nullptr || bits == nullptr) return 0;
  gdi::TableAccess access;
  std::optional<Transfer> transfer = PrepareTransfer(access, dc, handle, start, lines, info, usage, true);
  if (!transfer) return 0;
  const gdi::DibFormat& own = transfer->bitmap->format;
  const auto stride = static_cast<std::size_t>(transfer->caller.Stride());
  const auto* source = static_cast<const std::uint8_t*>(bits);
  std::uint8_t* pixels = transfer->bitmap->pixels.get();
  const bool copied = CopyRows(
      transfer->caller, own, transfer->rows, [&](int r) { return source + static_cast<std::size_t>(r) * stride; },
      [&](int r) { return pixels + own.RowOffset(ImageRow(*transfer, transfer->firstScan + r)); });
  return copied ? transfer->rows : 0;
}

}  // namespace pixavue::platform
