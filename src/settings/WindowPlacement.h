#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace korbana {

class SettingsStore;

// Keeps a window's placement (position, size, state) in the settings store and opens and closes the store
// around each restore and save. The owner calls restore() on the first showing, closeSave() when a close
// was allowed and destroySave() when the window goes.
class WindowPlacement : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowPlacement)

public:
    enum Option { fpState = 0x1, fpPosition = 0x2, fpActiveControl = 0x4 };
    Q_DECLARE_FLAGS(Options, Option)

    explicit WindowPlacement(QWidget* window);
    ~WindowPlacement() override;

    void setOptions(Options options) { m_options = options; }
    void setVersion(int version) { m_version = version; }
    void setActive(bool active) { m_active = active; }
    // Where errors of a restore or save are reported; they never leave these calls.
    void setErrorReporter(std::function<void(const QString&)> reporter) { m_reportError = std::move(reporter); }

    bool restored() const { return m_restored; }
    bool saved() const { return m_saved; }
    bool destroying() const { return m_destroying; }
    // The settings section; the window's class name unless one was set.
    QString section() const;
    void setSection(const QString& section) { m_section = section; }

    void restore();
    void closeSave();
    void destroySave();

    // The screen's logical pixels per inch, and the "(1024x768)" suffix of the primary screen's size.
    static int screenPixelsPerInch();
    static QString resolutionSuffix();

protected:
    QWidget* window() const { return m_window; }
    virtual void restoreProperties(korbana::SettingsStore& store);
    virtual void saveProperties(korbana::SettingsStore& store);

private:
    void save();
    // False when the step failed (and was reported).
    bool runReported(void (WindowPlacement::*step)());
    void restoreSteps();
    void saveSteps();
    void restorePosition(korbana::SettingsStore& store);
    void restoreState(korbana::SettingsStore& store);
    void fitDesignedPlacement();
    void savePlacement(korbana::SettingsStore& store);
    void updateMaxPosition();
    int showCommand() const;

    QPointer<QWidget> m_window;
    QString m_section;
    Options m_options = Options(fpState | fpPosition);
    int m_version = 0;
    bool m_active = true;
    bool m_restored = false;
    bool m_saved = false;
    bool m_destroying = false;
    bool m_saveFailed = false;
    // Whether the restore applied a stored place.
    bool m_placed = false;
    int m_flags = 0;
    QPoint m_minPosition { -1, -1 };
    QPoint m_maxPosition { -1, -1 };
    std::function<void(const QString&)> m_reportError;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(WindowPlacement::Options)

} // namespace korbana
