#include "network_folder.h"

#include <QFile>
#include <QFileInfo>

#include <sys/statfs.h>

#include <cstdint>

namespace adodb {

namespace {

std::function<bool(const QString&)>& probe()
{
    static std::function<bool(const QString&)> p;
    return p;
}

// Kernel magic numbers of filesystems that are surely on this computer, and
// of those that surely are not.
constexpr std::uint32_t kLocal[] = {
    0xEF53,      // ext2/3/4
    0x58465342,  // xfs
    0x9123683E,  // btrfs
    0x01021994,  // tmpfs
    0x858458F6,  // ramfs
    0x794C7630,  // overlayfs
    0x2FC12FC1,  // zfs
    0xF2F52010,  // f2fs
    0x52654973,  // reiserfs
    0x3153464A,  // jfs
    0x4D44,      // vfat, msdos
    0x2011BAB0,  // exfat
    0x5346544E,  // ntfs
    0x7366746E,  // ntfs3
    0x482B,      // hfsplus
    0x9660,      // iso9660
    0x73717368,  // squashfs
    0xCA451A4E,  // bcachefs
    0x3434,      // nilfs
    0x15013346,  // udf
    0xF15F,      // ecryptfs
};
constexpr std::uint32_t kNetwork[] = {
    0x6969,      // nfs
    0x517B,      // smb
    0xFF534D42,  // cifs
    0xFE534D42,  // smb2
    0x5346414F,  // afs
    0x6B414653,  // kafs
    0x00C36400,  // ceph
    0x73757245,  // coda
    0x564C,      // ncp
    0x01021997,  // 9p
    0x01161970,  // gfs2
    0x7461636F,  // ocfs2
    0x0BD00BD0,  // lustre
};
constexpr std::uint32_t kFuse = 0x65735546;

// The mount that holds `path`, as /proc/self/mounts lists it: (source, type).
std::pair<QString, QString> mountOf(const QString& path)
{
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    std::pair<QString, QString> best;
    qsizetype bestLength = -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3) continue;
        // Blanks and tabs in mount points are written as octal escapes.
        QString point = QString::fromLocal8Bit(fields[1]);
        point.replace(QStringLiteral("\\040"), QStringLiteral(" ")).replace(QStringLiteral("\\011"), QStringLiteral("\t"));
        const bool holds = point == QLatin1String("/") || path == point || path.startsWith(point + u'/');
        if (holds && point.size() > bestLength) {
            bestLength = point.size();
            best = {QString::fromLocal8Bit(fields[0]), QString::fromLocal8Bit(fields[2])};
        }
    }
    return best;
}

bool realCheck(const QString& path)
{
    QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty()) real = QFileInfo(path).absoluteFilePath();
    struct statfs fs {};
    if (statfs(QFile::encodeName(real).constData(), &fs) != 0) return false;
    const auto type = static_cast<std::uint32_t>(fs.f_type);
    for (const std::uint32_t t : kLocal)
        if (type == t) return false;
    for (const std::uint32_t t : kNetwork)
        if (type == t) return true;
    const auto [source, name] = mountOf(real);
    // A FUSE filesystem on a disk of this computer (ntfs-3g) is local; the
    // rest (sshfs, davfs, glusterfs, rclone...) reach other computers.
    if (type == kFuse) return name != QLatin1String("fuseblk");
    // A kind we do not know: one mounted from "host:/path" or "//host/share" is remote.
    return source.contains(u':') || source.startsWith(QLatin1String("//"));
}

}  // namespace

bool IsOnNetworkFolder(const QString& path)
{
    return probe() ? probe()(path) : realCheck(path);
}

void SetNetworkFolderProbe(std::function<bool(const QString&)> p)
{
    probe() = std::move(p);
}

}  // namespace adodb
