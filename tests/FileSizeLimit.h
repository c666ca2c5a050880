#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// While it lives, no file of the process may grow beyond the given size: writes fail the way they do on a
// full disk, without needing one. Where that cannot be had, active() is false.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit([[maybe_unused]] unsigned long bytes)
    {
#ifdef Q_OS_UNIX
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        if (m_oldHandler)
            std::signal(SIGXFSZ, m_oldHandler);
#endif
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const
    {
        return m_active;
    }

private:
#ifdef Q_OS_UNIX
    rlimit m_saved {};
    void (*m_oldHandler)(int) = nullptr;
#endif
    bool m_active = false;
};
