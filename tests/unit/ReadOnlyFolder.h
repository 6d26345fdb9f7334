#pragma once

// Makes one folder read-only until destroyed, even for root: a bind mount of the folder over
// itself, read-only, in a mount namespace of this process's own, where nothing outside the
// process sees it. Without root the folder's write permission is taken away instead. ok() is
// false when neither can be done here (no right to make a namespace, say).

#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jov::test {

class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        const char *path = m_folder.constData();
        if (::geteuid() != 0) {
            m_ok = ::chmod(path, 0555) == 0;
            return;
        }
        // Mounts made from here on stay in this process's namespace: it must be private before
        // anything is mounted, or the mount would reach the rest of the machine.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return;
        if (::mount(path, path, nullptr, MS_BIND, nullptr) != 0)
            return;
        m_mounted = true;
        m_ok = ::mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
        else if (m_ok)
            ::chmod(m_folder.constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool ok() const { return m_ok; }

private:
    QByteArray m_folder;
    bool m_ok = false;
    bool m_mounted = false;
};

} // namespace jov::test
