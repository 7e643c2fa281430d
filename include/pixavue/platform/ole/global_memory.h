#pragma once
// Global memory blocks as Windows hands them out: a handle names a block of
// bytes; the bytes are reached through GlobalLock and released with
// GlobalUnlock.
//
// A handle is a key into one process-wide table guarded by a mutex, never a
// pointer. A handle that is not in the table (never allocated, or freed) is
// refused by every function, so a stale or forged handle cannot reach memory.
// Handles are not reused within a process.
//
// Differences from Windows, kept deliberately simple:
//  - every block behaves as a moveable block and every byte handed out is
//    zero-initialised, whether GMEM_ZEROINIT is given or not; other flags
//    are accepted and ignored;
//  - a block is at most kGlobalMemoryMaxBytes long, as on the 32-bit
//    platform the control was written for;
//  - GlobalLock of a valid 0-byte block returns a non-null pointer (to no
//    usable bytes), so that null always means a bad handle;
//  - a locked block is only reallocated in place: GlobalReAlloc of a locked
//    block fails when the new size needs a move. Locked pointers therefore
//    stay valid until the block is unlocked or freed.

#include <cstddef>
#include <cstdint>

#include <pixavue/platform/ole/types.h>

namespace pixavue::platform {

enum class HGLOBAL : std::uintptr_t {};
inline constexpr HGLOBAL kNullHglobal{};

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

inline constexpr std::size_t kGlobalMemoryMaxBytes = 0x7FFFFFFF;

// A new zero-filled block, or null when bytes exceeds the limit or memory
// runs out. A 0-byte block is allowed.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) noexcept;

// The block's bytes, with the lock count raised by one; null for a bad handle.
void* GlobalLock(HGLOBAL block) noexcept;

// Lowers the lock count. Returns whether the block is still locked; false for
// a bad handle or a block that was not locked.
bool GlobalUnlock(HGLOBAL block) noexcept;

// The block's size in bytes; 0 for a bad handle.
std::size_t GlobalSize(HGLOBAL block) noexcept;

// The number of outstanding GlobalLock calls; 0 for a bad handle.
UINT GlobalLockCount(HGLOBAL block) noexcept;

// Resizes the block, keeping its content up to the smaller size and zero-
// filling any growth. Returns the same handle, or null when the handle is bad,
// bytes exceeds the limit, memory runs out, or the block is locked and would
// have to move; the block is unchanged then.
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags) noexcept;

// Frees the block, locked or not. Returns null on success and the handle
// itself when it is bad (for example freed already).
HGLOBAL GlobalFree(HGLOBAL block) noexcept;

}  // namespace pixavue::platform
