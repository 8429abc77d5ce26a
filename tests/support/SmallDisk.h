#pragma once
// A real small file system for the tests of full disks: a tmpfs of a few
// KiB mounted on a temporary folder for the lifetime of the object. Mounting
// needs the right to (root, as the CI runs); a test skips when it cannot:
//
//     rig::SmallDisk disk(64);
//     if (!disk.mounted())
//         GTEST_SKIP() << disk.why();
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#endif

namespace rig {

class SmallDisk {
public:
    explicit SmallDisk(int kib)
    {
#ifdef Q_OS_LINUX
        if (!dir_.isValid()) {
            why_ = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0)
            mounted_ = true;
        else
            why_ = QStringLiteral("cannot mount a tmpfs: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
#else
        (void)kib;
        why_ = QStringLiteral("no tmpfs on this system");
#endif
    }
    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
#endif
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& why() const { return why_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Mounts the disk again read-only: every later change of it is refused
    // with "Read-only file system". True when it is.
    bool makeReadOnly() const
    {
#ifdef Q_OS_LINUX
        return mounted_ && ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                                   nullptr) == 0;
#else
        return false;
#endif
    }

    // Takes every free byte with a file of its own; true when the disk
    // reported itself full.
    bool fill() const
    {
        QFile filler(dir_.filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(1024, 'f');
        for (int i = 0; i < 1 << 20; ++i)
            if (filler.write(block) != block.size())
                break;
        // A few bytes of the last page may still be free.
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
        return filler.error() != QFileDevice::NoError;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString why_;
};

} // namespace rig
