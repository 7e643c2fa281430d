// The process clipboard: a table of format and handle pairs guarded by a
// mutex, opened by one thread at a time.

#include <pixavue/platform/ole/clipboard.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

#include <pixavue/platform/ole/picture_dib.h>

#include "clipboard_data.h"

namespace pixavue::platform {
namespace {

struct Entry final {
  UINT format = 0;
  HANDLE data{};
  bool synthesised = false;  // made from another entry on request
};

struct ClipboardState final {
  std::mutex mutex;
  std::vector<Entry> entries;
  std::optional<std::thread::id> openBy;
  HWND openWindow = kNoWindow;
  bool changed = false;  // emptied or set since it was opened
  ClipboardBridge* bridge = nullptr;
};

// Never destroyed: the data handles live in tables that may be gone at exit.
ClipboardState& State() {
  static auto* state = new ClipboardState;
  return *state;
}

bool OpenedByThisThread(const ClipboardState& state) { return state.openBy == std::this_thread::get_id(); }

void Discard(const Entry& entry, HANDLE keep = HANDLE{}) {
  if (entry.data != keep) clipboard::DeleteData(entry.format, entry.data);
}

void RemoveAll(ClipboardState& state) {
  for (const Entry& entry : state.entries) Discard(entry);
  state.entries.clear();
}

const Entry* Find(const ClipboardState& state, UINT format) {
  const auto found = std::find_if(state.entries.begin(), state.entries.end(),
                                  [format](const Entry& entry) { return entry.format == format; });
  return found == state.entries.end() ? nullptr : &*found;
}

// The format a missing one can be made from: CF_DIB from CF_BITMAP and back.
UINT SourceFormatFor(UINT format) {
  if (format == CF_DIB) return CF_BITMAP;
  if (format == CF_BITMAP) return CF_DIB;
  return 0;
}

std::vector<UINT> AvailableFormats(const ClipboardState& state) {
  std::vector<UINT> formats;
  for (const Entry& entry : state.entries) formats.push_back(entry.format);
  for (UINT format : {CF_DIB, CF_BITMAP}) {
    if (Find(state, format) == nullptr && Find(state, SourceFormatFor(format)) != nullptr) formats.push_back(format);
  }
  return formats;
}

HANDLE Synthesise(UINT format, const Entry& source) {
  if (format == CF_DIB) return ToHandle(clipboard::DibBlockFromBitmap(FromHandle<HBITMAP>(source.data)));
  return ToHandle(clipboard::BitmapFromDibBlock(FromHandle<HGLOBAL>(source.data)));
}

std::optional<std::vector<std::uint8_t>> SnapshotDib(const ClipboardState& state) {
  if (const Entry* dib = Find(state, CF_DIB)) return clipboard::BlockBytes(FromHandle<HGLOBAL>(dib->data));
  const Entry* bitmap = Find(state, CF_BITMAP);
  if (bitmap == nullptr) return std::nullopt;
  return PackedDibFromBitmap(FromHandle<HBITMAP>(bitmap->data));
}

// Takes an image another application put on the desktop clipboard, unless
// the process clipboard is in use.
void ImportExternalImage() {
  ClipboardState& state = State();
  ClipboardBridge* bridge = nullptr;
  {
    std::lock_guard lock(state.mutex);
    if (state.openBy) return;
    bridge = state.bridge;
  }
  if (bridge == nullptr) return;
  const std::optional<std::vector<std::uint8_t>> dib = bridge->ReadExternalDib();
  if (!dib) return;
  const HGLOBAL block = clipboard::BlockWithBytes(*dib);
  if (block == HGLOBAL{}) return;
  std::lock_guard lock(state.mutex);
  if (state.openBy) {
    GlobalFree(block);
    return;
  }
  RemoveAll(state);
  state.entries.push_back({CF_DIB, ToHandle(block), false});
}

}  // namespace

bool OpenClipboard(HWND owner) {
  ImportExternalImage();
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.openBy && (!OpenedByThisThread(state) || state.openWindow != owner)) return false;
  state.openBy = std::this_thread::get_id();
  state.openWindow = owner;
  return true;
}

bool CloseClipboard() {
  ClipboardState& state = State();
  ClipboardBridge* bridge = nullptr;
  ClipboardSnapshot snapshot;
  {
    std::lock_guard lock(state.mutex);
    if (!OpenedByThisThread(state)) return false;
    state.openBy.reset();
    state.openWindow = kNoWindow;
    if (!std::exchange(state.changed, false) || state.bridge == nullptr) return true;
    bridge = state.bridge;
    snapshot.formats = AvailableFormats(state);
    snapshot.dib = SnapshotDib(state);
  }
  bridge->Changed(snapshot);
  return true;
}

bool EmptyClipboard() {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByThisThread(state)) return false;
  RemoveAll(state);
  state.changed = true;
  return true;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByThisThread(state) || !clipboard::AcceptsData(format, data)) return HANDLE{};
  // Synthesised data came from the content being replaced.
  const auto replaced = [format](const Entry& entry) { return entry.synthesised || entry.format == format; };
  for (const Entry& entry : state.entries) {
    if (replaced(entry)) Discard(entry, data);
  }
  std::erase_if(state.entries, replaced);
  state.entries.push_back({format, data, false});
  state.changed = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByThisThread(state)) return HANDLE{};
  if (const Entry* entry = Find(state, format)) return entry->data;
  const Entry* source = Find(state, SourceFormatFor(format));
  if (source == nullptr) return HANDLE{};
  const HANDLE made = Synthesise(format, *source);
  if (made != HANDLE{}) state.entries.push_back({format, made, true});
  return made;
}

bool IsClipboardFormatAvailable(UINT format) {
  ImportExternalImage();
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  const std::vector<UINT> formats = AvailableFormats(state);
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

UINT EnumClipboardFormats(UINT format) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  if (!OpenedByThisThread(state)) return 0;
  const std::vector<UINT> formats = AvailableFormats(state);
  if (format == 0) return formats.empty() ? 0 : formats.front();
  const auto found = std::find(formats.begin(), formats.end(), format);
  return found == formats.end() || found + 1 == formats.end() ? 0 : *(found + 1);
}

void SetClipboardBridge(ClipboardBridge* bridge) {
  ClipboardState& state = State();
  std::lock_guard lock(state.mutex);
  state.bridge = bridge;
}

}  // namespace pixavue::platform
