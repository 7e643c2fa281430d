#pragma once
// The COM stream interface: a seekable sequence of bytes, shared by
// reference count. A function that keeps a stream takes its own reference
// (ComPtr), so the caller may release its reference right after the call.
//
// Rules common to every stream of this layer:
//  - Read returns S_OK also when it reads fewer bytes than asked because the
//    end was reached; *read tells how many. Reading at or past the end reads
//    nothing and succeeds.
//  - Write writes all bytes or none. Writing past the end grows the stream;
//    a gap between the old end and the write position reads as zeros.
//    Writing 0 bytes changes nothing, not even the size.
//  - Seek to a position before 0 fails with STG_E_INVALIDFUNCTION and leaves
//    the position alone; a position past the end is allowed.
//  - SetSize never moves the position, even when it lies past the new end.
//  - A null buffer with a non-zero count gives STG_E_INVALIDPOINTER; output
//    counters and positions may be null.
// A stream object is not synchronised: one thread uses it at a time.
// Clone gives a second stream over the same bytes with its own position.

#include <cstdint>
#include <string>

#include <pixavue/platform/ole/hresult.h>
#include <pixavue/platform/ole/ref_counted.h>
#include <pixavue/platform/ole/types.h>

namespace pixavue::platform {

inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

inline constexpr DWORD STGTY_STREAM = 2;

inline constexpr DWORD STATFLAG_DEFAULT = 0;
inline constexpr DWORD STATFLAG_NONAME = 1;
inline constexpr DWORD STATFLAG_NOOPEN = 2;

inline constexpr DWORD STGM_READ = 0x0;
inline constexpr DWORD STGM_WRITE = 0x1;
inline constexpr DWORD STGM_READWRITE = 0x2;

inline constexpr DWORD STGC_DEFAULT = 0;

struct STATSTG {
  std::string name;  // empty for streams without a name, or with STATFLAG_NONAME
  DWORD type = 0;
  std::uint64_t cbSize = 0;
  DWORD grfMode = 0;
};

class IStream : public IRefCounted {
 public:
  virtual HRESULT Read(void* buffer, ULONG cb, ULONG* read) noexcept = 0;
  virtual HRESULT Write(const void* buffer, ULONG cb, ULONG* written) noexcept = 0;
  virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) noexcept = 0;
  virtual HRESULT SetSize(std::uint64_t newSize) noexcept = 0;
  // Flags other than STATFLAG_NONAME and STATFLAG_NOOPEN give STG_E_INVALIDFLAG.
  virtual HRESULT Stat(STATSTG* stat, DWORD statFlags) noexcept = 0;
  // Makes written bytes durable where that means something (files).
  virtual HRESULT Commit(DWORD commitFlags) noexcept = 0;
  virtual HRESULT Clone(IStream** clone) noexcept = 0;

 protected:
  ~IStream() override = default;
};

}  // namespace pixavue::platform
