#include "StartupFonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <QtGlobal>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <dlfcn.h>
#endif

namespace {

void readFontConfiguration()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Qt reads the fonts through fontconfig, which comes into the process with Qt. Reading its configuration here
    // only does earlier, beside the connection to the display, what Qt would do first; where Qt goes without it,
    // nothing is loaded.
    void* fontconfig = dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!fontconfig)
        return;
    using Init = int (*)();
    if (const auto init = reinterpret_cast<Init>(dlsym(fontconfig, "FcInit")))
        init();
    dlclose(fontconfig);
#endif
}

} // namespace

StartupFonts::StartupFonts()
    : m_configuration(readFontConfiguration)
{
}

StartupFonts::~StartupFonts()
{
    finish();
}

void StartupFonts::finish()
{
    if (m_database.joinable())
        m_database.join();
    else if (m_configuration.joinable())
        m_configuration.join();
}

void StartupFonts::applicationCreated()
{
    if (m_database.joinable())
        return;
    m_database = std::thread([this] {
        if (m_configuration.joinable())
            m_configuration.join();
        QFontDatabase::families();
    });
}
