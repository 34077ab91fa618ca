#include "db/FileSystem.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

namespace fs {

bool isNetworkFileSystem(const QString& path) {
#ifdef Q_OS_LINUX
    struct statfs st {};
    if (statfs(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    switch (static_cast<unsigned long>(st.f_type)) {
    case 0x6969UL:     // NFS
    case 0xFF534D42UL: // CIFS
    case 0x517BUL:     // SMB
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and the like)
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(path);
    return false;
#endif
}

#ifdef Q_OS_WIN
bool LockedFile::createExclusive(const QString& path) {
    release();
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_handle = h;
    return true;
}
bool LockedFile::lockExisting(const QString& path) {
    release();
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_WRITE | DELETE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_handle = h;
    return true;
}
bool LockedFile::stillAt(const QString&) const { return isHeld(); }
void LockedFile::release() {
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}
#else
bool LockedFile::createExclusive(const QString& path) {
    release();
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool LockedFile::lockExisting(const QString& path) {
    release();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool LockedFile::stillAt(const QString& path) const {
    if (m_fd < 0)
        return false;
    struct stat a {}, b {};
    if (::fstat(m_fd, &a) != 0 || ::stat(QFile::encodeName(path).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void LockedFile::release() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
#endif

} // namespace fs
