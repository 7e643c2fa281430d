#pragma once
// The remote path an FTP display asks the server for.

#include <string>
#include <string_view>

namespace pixavue {

// Every "\" becomes "/", blanks around are removed, then at most two
// leading "/": a path relative to the login folder, or one "/" kept for
// the root.
std::string FtpRemotePath(std::string_view path);

}  // namespace pixavue
