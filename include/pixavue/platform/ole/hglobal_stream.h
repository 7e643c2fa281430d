#pragma once
// Streams over global memory blocks (global_memory.h).
//
// The stream's size is the block's size (GlobalSize); writes past the end
// grow the block, and a failed growth gives E_OUTOFMEMORY, or
// STG_E_MEDIUMFULL beyond kGlobalMemoryMaxBytes. A block freed behind the
// stream's back makes its calls fail with STG_E_INVALIDHANDLE.

#include <pixavue/platform/ole/global_memory.h>
#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/stream.h>

namespace pixavue::platform {

// Creates a stream over block, or over a new empty block when block is null.
// With deleteOnRelease the block is freed when the last stream over it
// (clones included) is released. E_POINTER for a null stream; E_INVALIDARG
// for a handle that is not a live block.
HRESULT CreateStreamOnHGlobal(HGLOBAL block, bool deleteOnRelease, IStream** stream) noexcept;

// The block under a stream made by CreateStreamOnHGlobal. E_INVALIDARG for
// any other stream or null arguments.
HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block) noexcept;

}  // namespace pixavue::platform
