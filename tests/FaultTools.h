#pragma once

// Helpers of the fault tests: file contents, a small filesystem of its own, a full disk, the program.

#include "ScriptedDialogs.h"
#include "document/ListFile.h"
#include "ui/MainWindow.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mount.h>
#include <unistd.h>

using namespace korbana;

namespace faults {

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small tmpfs over a folder for the length of one test. Only root may mount; CI runs as root.
class TmpfsMount
{
public:
    TmpfsMount(const QString& folder, const char* size)
        : m_folder(QFile::encodeName(folder))
    {
        if (geteuid() != 0) {
            m_whyNot = QStringLiteral("mounting a small filesystem needs root (CI runs as root)");
            return;
        }
        const QByteArray options = QByteArrayLiteral("mode=0755,size=") + size;
        if (::mount("korbana-test", m_folder.constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_whyNot = QStringLiteral("cannot mount a tmpfs here: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY_MOVE(TmpfsMount)

    // Empty when mounted, else why not.
    QString whyNot() const { return m_whyNot; }
    bool remountReadOnly() const
    {
        return ::mount(nullptr, m_folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    QString m_whyNot;
};

// Writes a file until the filesystem has not one byte left.
inline void fillUp(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), static_cast<size_t>(block.size())) == block.size()) { }
    while (::write(fd, "x", 1) == 1) { }
    ::close(fd);
}

// The program as a user has it: the main window over a program folder.
struct Program
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> form;

    // programDir empty: a folder of its own, without a list file.
    explicit Program(const QString& programDir = {})
        : form(std::make_unique<MainWindow>(dialogs, programDir.isEmpty() ? folder.path() : programDir))
    {
        dialogs.messages.clear(); // the start's "cannot open" when there is no korbana.kbl
    }
    korbana::ListSet lists() const { return { form->stores(), form->products(), form->shopping() }; }
    QByteArray snapshot() const { return korbana::encodeListFile(lists()); }
};

} // namespace faults
