// Whether an embedded database file sits on a folder other computers share.
#pragma once

#include <QString>

#include <functional>

namespace adodb {

/// True when `path` lives on a network filesystem (NFS, SMB/CIFS, AFS, Ceph,
/// a FUSE mount such as sshfs...), where several computers may open it and
/// write-ahead logging, whose index is memory shared on one computer, is unsafe.
bool IsOnNetworkFolder(const QString& path);

/// Lets a test answer for the filesystem; an empty function puts the real check back.
void SetNetworkFolderProbe(std::function<bool(const QString&)> probe);

}  // namespace adodb
