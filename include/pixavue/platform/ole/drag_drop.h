#pragma once
// Drag-and-drop of files onto windows. A window that accepts drops
// registers a drop target (RegisterDragDrop); the shell, at the end of a
// drag, hands the dragged data to the target of the window under the
// pointer or of its nearest ancestor that has one (DropOnWindow).
//
// As on Windows: one target per window; registering a second one fails,
// revoking a window without one fails; the data is a data object that may
// hold a file list (CF_HDROP), read as paths in the order given.
// Deliberately simpler: only the drop itself is delivered (no enter, over
// or leave notifications), the data object carries only a file list, and a
// window's registration ends with the window.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/window/types.h>

namespace pixavue::platform {

inline constexpr UINT CF_HDROP = 15;

inline constexpr std::int32_t DROPEFFECT_NONE = 0;
inline constexpr std::int32_t DROPEFFECT_COPY = 1;
inline constexpr std::int32_t DROPEFFECT_MOVE = 2;
inline constexpr std::int32_t DROPEFFECT_LINK = 4;

inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeHresult(0x80040100u);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeHresult(0x80040101u);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeHresult(0x80040102u);

// The dragged data: a list of file paths (bytes as the file system names
// them), or nothing.
class DataObject final {
 public:
  DataObject() = default;
  explicit DataObject(std::vector<std::string> files) : files_(std::move(files)), hasFiles_(true) {}

  // CF_HDROP when the data holds a file list (it may be empty).
  bool GetFormat(UINT format) const { return format == CF_HDROP && hasFiles_; }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::vector<std::string> files_;
  bool hasFiles_ = false;
};

// Where a drop ends: the pointer in client pixels of the window dropped on,
// the mouse button (1 left, 2 right, 4 middle) and shift state (1 shift,
// 2 control, 4 alt) at the release.
struct DropPoint final {
  std::int16_t button = 1;
  std::int16_t shift = 0;
  float x = 0;
  float y = 0;
};

class IDropTarget {
 public:
  virtual ~IDropTarget() = default;
  // effect holds the effects the source allows; the target may narrow it to
  // the one it performed.
  virtual void Drop(const DataObject& data, std::int32_t& effect, const DropPoint& point) = 0;

 protected:
  IDropTarget() = default;
  IDropTarget(const IDropTarget&) = default;
  IDropTarget& operator=(const IDropTarget&) = default;
};

// S_OK; E_INVALIDARG for a null target, DRAGDROP_E_INVALIDHWND for a window
// that is not live, DRAGDROP_E_ALREADYREGISTERED.
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
// S_OK; DRAGDROP_E_NOTREGISTERED.
HRESULT RevokeDragDrop(HWND window);

// The shell's side: delivers the drop to the target of window or of its
// nearest ancestor that has one. effect starts as the effects the source
// allows and ends as the target left it (DROPEFFECT_NONE when no target
// took the drop). Returns whether a target received it.
bool DropOnWindow(HWND window, const DataObject& data, std::int32_t& effect, const DropPoint& point);

}  // namespace pixavue::platform
