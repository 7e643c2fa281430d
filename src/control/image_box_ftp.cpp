// Images from FTP servers: the remote file copied to a temporary file that
// is loaded as a file and deleted with the image.

#include <pixavue/control/image_box.h>
#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/net/c_inet.h>

#include <string>

#include "download_session.h"
#include "ftp_remote_path.h"
#include "guarded_call.h"

namespace pixavue {
QuorvexStatus ImageBox::DisplayFromFTP(std::string_view sHost, std::string_view sPath, std::string_view sLogin,
                                       std::string_view sPassword, std::int32_t nFTPPort) {
  net::cInet inet;
  const SessionSlot slot(m_inet, inet);
  ResetForNewImage(false);
  if (inet.hInternet() == nullptr) {
    state_.LastStatus = QuorvexStatus::InternetOpenError;
    return state_.LastStatus;
  }
  state_.LastStatus = Guarded([&] { return CopyFromFtp(inet, sHost, sPath, sLogin, sPassword, nFTPPort); });
  return state_.LastStatus;
}

// The local file is created exclusively (mode 0600) before the copy fills
// it; whenever no image takes it, it is deleted at once.
QuorvexStatus ImageBox::CopyFromFtp(net::cInet& inet, std::string_view host, std::string_view path,
                                    std::string_view login, std::string_view password, std::int32_t port) {
  inet.bFtpPassiveMode = state_.FtpPassive;
  const platform::HINTERNET connection = inet.FtpOpenSession(host, port, login, password);
  if (connection == nullptr) return QuorvexStatus::InternetConnectError;
  QuorvexStatus status = QuorvexStatus::InternetFtpGetFileError;
  const std::string local = engine::MakeTempFileName();
  if (!local.empty()) {
    const std::string remote = FtpRemotePath(path);
    if (platform::FtpGetFileA(connection, remote.c_str(), local.c_str(), platform::FALSE, 0,
                              platform::FTP_TRANSFER_TYPE_UNKNOWN, 0) != platform::FALSE) {
      status = DisplayFromFile(local);
    }
    if (status == QuorvexStatus::OK) {
      engine::AttachTempFile(state_.EngineState.CurrentImage, local);
    } else {
      engine::DeleteFileIgnoringErrors(local);
    }
  }
  platform::InternetCloseHandle(connection);
  return status;
}

}  // namespace pixavue
