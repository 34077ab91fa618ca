#pragma once

#include <QString>

// The few file-system calls that differ between platforms.
namespace fs {

// Whether path lies on a network file system (NFS, SMB/CIFS, ...).
bool isNetworkFileSystem(const QString& path);

// A file held open with an exclusive advisory lock.
class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile() { release(); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Creates path (it must not exist) and locks it; false when it exists,
    // cannot be created, or another process locked it first.
    bool createExclusive(const QString& path);
    // Opens an existing file and locks it without waiting; false when
    // another process holds it.
    bool lockExisting(const QString& path);
    bool isHeld() const { return m_fd >= 0 || m_handle != nullptr; }
    // Whether path still names the file held (not removed and replaced).
    bool stillAt(const QString& path) const;
    void release();

private:
    int m_fd = -1;
    void* m_handle = nullptr;
};

} // namespace fs
