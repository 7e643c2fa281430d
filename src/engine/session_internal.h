#pragma once
// The session's parts that other engine files fill or read: the encoder
// table and the version strings, and the test hook for the version.

#include <string>

#include <pixavue/engine/image_session.h>

namespace pixavue::engine {

// The thread's session record.
GdiplusSession& MutableSession();

// Reads the encoder list of the imaging library into the thread's table,
// replacing what it held. May throw std::bad_alloc.
void BuildEncoderTable();

// The imaging library's version string.
std::string ImagingLibraryVersion();
// The plug-in's version string ("Unknown" while it cannot be found).
std::string PluginLibraryVersion();

// Tests only: pretend the imaging library has this version, so that the
// rules for libraries before version 6 can be exercised.
void SetGdiplusVersionForTesting(const std::string& version);

}  // namespace pixavue::engine
