// SQLite's Unix locks are POSIX advisory locks, which belong to the process
// and the file, not to a descriptor: when any code of the process closes any
// descriptor of the database, its -wal or its -shm (a file dialog reading the
// folder to choose icons, a "what kind of file" check), every lock the
// process holds on that file is dropped without a word. Another program on
// the same file then believes it is the last one, checkpoints and deletes the
// log under us, and our later saves go to a deleted file.
//
// Open-file-description locks (Linux 3.15) belong to one open description
// and are dropped only when that description is closed, so a stray open and
// close elsewhere in the process leaves them alone. SQLite assumes process
// semantics, though: one connection may take a lock through its descriptor
// and another connection of the process release it through its own (SQLite
// counts the process's locks per file and only calls the kernel for the
// first and the last). So every lock on a file goes through one description
// of our own, duplicated from the first SQLite descriptor of that file that
// locks, and shared by every later one: within the process it behaves as
// POSIX locks do, and towards other processes (which may use plain POSIX
// locks, as the sqlite3 shell does: the two kinds conflict as they should)
// it survives any close but SQLite's own last one.
#include "sqlite_locks.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace adodb {

namespace {

using FcntlFn = int (*)(int, int, ...);
using CloseFn = int (*)(int);

FcntlFn realFcntl = nullptr;
CloseFn realClose = nullptr;

using Inode = std::pair<dev_t, ino_t>;

struct Holder {
    int fd = -1;          // our duplicate: its description owns the locks
    bool posix = false;   // description locks refused here: SQLite's own way
    std::set<int> users;  // SQLite's descriptors of this file that locked through it
};

std::mutex mutex;
std::map<Inode, Holder> holders;
std::map<int, Inode> inodeOf;  // SQLite's descriptor -> its file

// The holder for SQLite's descriptor `fd`, made on its first lock. Null when
// the descriptor cannot be examined (SQLite then gets the kernel's answer).
Holder* holderFor(int fd)
{
    if (auto it = inodeOf.find(fd); it != inodeOf.end()) return &holders[it->second];
    struct stat st {};
    if (fstat(fd, &st) != 0) return nullptr;
    const Inode key{st.st_dev, st.st_ino};
    auto [it, fresh] = holders.try_emplace(key);
    Holder& h = it->second;
    if (fresh) {
        h.fd = realFcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (h.fd < 0) {
            holders.erase(it);
            return nullptr;
        }
        // Decided once per file, so one file never mixes the two kinds of
        // lock (a lock taken as one kind is not released as the other).
        struct flock probe {};
        probe.l_type = F_RDLCK;
        probe.l_whence = SEEK_SET;
        probe.l_len = 1;
        h.posix = realFcntl(h.fd, F_OFD_GETLK, &probe) != 0;
    }
    h.users.insert(fd);
    inodeOf[fd] = key;
    return &h;
}

int lockingFcntl(int fd, int cmd, ...)
{
    va_list ap;
    va_start(ap, cmd);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (cmd != F_SETLK && cmd != F_SETLKW && cmd != F_GETLK) return realFcntl(fd, cmd, arg);

    auto* lock = static_cast<struct flock*>(arg);
    int lockFd = -1;
    {
        const std::lock_guard<std::mutex> guard(mutex);
        const Holder* h = holderFor(fd);
        if (h && !h->posix) lockFd = h->fd;
    }
    if (lockFd < 0) return realFcntl(fd, cmd, lock);

    struct flock ofd = *lock;
    ofd.l_pid = 0;  // required of description locks
    const int ofdCmd = cmd == F_SETLK ? F_OFD_SETLK : cmd == F_SETLKW ? F_OFD_SETLKW : F_OFD_GETLK;
    const int rc = realFcntl(lockFd, ofdCmd, &ofd);
    const int saved = errno;
    if (cmd == F_GETLK && rc == 0) *lock = ofd;
    errno = saved;
    return rc;
}

// SQLite closes a descriptor of a file only when no connection of the
// process holds a lock on it; the last one closed also closes our duplicate,
// which releases what the file still had (the -shm's "someone is here" lock).
int lockingClose(int fd)
{
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (auto it = inodeOf.find(fd); it != inodeOf.end()) {
            auto h = holders.find(it->second);
            inodeOf.erase(it);
            if (h != holders.end()) {
                h->second.users.erase(fd);
                if (h->second.users.empty()) {
                    realClose(h->second.fd);
                    holders.erase(h);
                }
            }
        }
    }
    return realClose(fd);
}

}  // namespace

void UseDescriptionLocks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_initialize();
        sqlite3_vfs* vfs = sqlite3_vfs_find("unix");
        if (!vfs || vfs->iVersion < 3 || !vfs->xSetSystemCall) return;
        auto fcntlNow = reinterpret_cast<FcntlFn>(vfs->xGetSystemCall(vfs, "fcntl"));
        auto closeNow = reinterpret_cast<CloseFn>(vfs->xGetSystemCall(vfs, "close"));
        if (!fcntlNow || !closeNow) return;
        realFcntl = fcntlNow;
        realClose = closeNow;
        // The system calls are shared by every Unix VFS of the library, so
        // SQLite's ODBC driver in this process locks the same way.
        if (vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&lockingFcntl)) != SQLITE_OK) return;
        if (vfs->xSetSystemCall(vfs, "close", reinterpret_cast<sqlite3_syscall_ptr>(&lockingClose)) != SQLITE_OK)
            vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(fcntlNow));
    });
}

}  // namespace adodb
