#pragma once

#include <thread>

// Prepares the fonts on worker threads while the program starts: the first text measured would otherwise wait for
// the font configuration to be read and for Qt's font database to be filled.
class StartupFonts final
{
public:
    // Reads the font configuration; no application needs to exist yet.
    StartupFonts();
    ~StartupFonts();
    StartupFonts(const StartupFonts&) = delete;
    StartupFonts& operator=(const StartupFonts&) = delete;

    // Fills Qt's font database once the configuration is read; call once the application exists.
    void applicationCreated();
    // Waits for the threads; call before the application is destroyed.
    void finish();

private:
    std::thread m_configuration;
    std::thread m_database;
};
