#pragma once
// COM status codes. Negative values are failures, 0 and positive values are
// successes. The constants keep their Windows bit patterns so that values
// logged or compared by callers mean what they mean on Windows.

#include <cstdint>

namespace pixavue::platform {

using HRESULT = std::int32_t;

// Turns the documented unsigned bit pattern into the signed HRESULT value.
constexpr HRESULT MakeHresult(std::uint32_t pattern) noexcept { return static_cast<HRESULT>(pattern); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_NOTIMPL = MakeHresult(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002u);
inline constexpr HRESULT E_POINTER = MakeHresult(0x80004003u);
inline constexpr HRESULT E_FAIL = MakeHresult(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057u);

inline constexpr HRESULT CO_E_CLASSSTRING = MakeHresult(0x800401F3u);

inline constexpr HRESULT STG_E_INVALIDFUNCTION = MakeHresult(0x80030001u);
inline constexpr HRESULT STG_E_FILENOTFOUND = MakeHresult(0x80030002u);
inline constexpr HRESULT STG_E_TOOMANYOPENFILES = MakeHresult(0x80030004u);
inline constexpr HRESULT STG_E_ACCESSDENIED = MakeHresult(0x80030005u);
inline constexpr HRESULT STG_E_INVALIDHANDLE = MakeHresult(0x80030006u);
inline constexpr HRESULT STG_E_INVALIDPOINTER = MakeHresult(0x80030009u);
inline constexpr HRESULT STG_E_WRITEFAULT = MakeHresult(0x8003001Du);
inline constexpr HRESULT STG_E_READFAULT = MakeHresult(0x8003001Eu);
inline constexpr HRESULT STG_E_FILEALREADYEXISTS = MakeHresult(0x80030050u);
inline constexpr HRESULT STG_E_INVALIDPARAMETER = MakeHresult(0x80030057u);
inline constexpr HRESULT STG_E_MEDIUMFULL = MakeHresult(0x80030070u);
inline constexpr HRESULT STG_E_INVALIDFLAG = MakeHresult(0x800300FFu);
inline constexpr HRESULT STG_E_DOCFILECORRUPT = MakeHresult(0x80030109u);
inline constexpr HRESULT STG_E_DOCFILETOOLARGE = MakeHresult(0x80030111u);

constexpr bool SUCCEEDED(HRESULT status) noexcept { return status >= 0; }
constexpr bool FAILED(HRESULT status) noexcept { return status < 0; }

}  // namespace pixavue::platform
