#include "WindowPlacement.h"

#include "SettingsStore.h"

#include <QGuiApplication>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace korbana {

namespace {

const QString kFormVersion = QStringLiteral("FormVersion");
const QString kFlags = QStringLiteral("Flags");
const QString kShowCmd = QStringLiteral("ShowCmd");
const QString kPixelsPerInch = QStringLiteral("PixelsPerInch");
const QString kMinMaxPos = QStringLiteral("MinMaxPos");
const QString kNormPos = QStringLiteral("NormPos");
const QString kVisible = QStringLiteral("Visible");

// The window's show commands as the stored values number them.
enum ShowCmd { SwNormal = 1, SwMinimized = 2, SwMaximized = 3 };
// Set when a minimized window goes back to the maximized state.
constexpr int kRestoreToMaximized = 2;

// A value under the current screen's resolution-specific name, else under the plain name.
QString placementText(const korbana::SettingsStore& store, const QString& section, const QString& name)
{
    const QString specific = store.readString(section, name + WindowPlacement::resolutionSuffix(), QString());
    return specific.isEmpty() ? store.readString(section, name, QString()) : specific;
}

// Word i of a placement text as an integer, or fallback when it is missing or no integer.
int word(const QStringList& words, int i, int fallback)
{
    int value = fallback;
    if (i < words.size() && !korbana::parseInteger(words.at(i), value))
        value = fallback;
    return value;
}

QStringList splitWords(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[, ]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QString fourNumbers(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// The distance between two stored bounds, limited so that a damaged value can neither overflow nor make the
// window far larger than the desktop; bounds anywhere on the desktop or at the window's present ones still fit.
int boundedExtent(int from, int to, int present, Qt::Orientation orientation)
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QSize desktop = primary ? primary->availableVirtualGeometry().size() : QSize();
    const qint64 limit = qint64(orientation == Qt::Horizontal ? desktop.width() : desktop.height()) + present;
    return static_cast<int>(std::clamp<qint64>(qint64(to) - qint64(from), 0, limit));
}

// A rectangle that lies on no screen is moved to the primary one, as the system's placement call does.
QRect onScreen(const QRect& rect)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        if (screen->availableVirtualGeometry().intersects(rect))
            return rect;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        return QRect(primary->availableGeometry().topLeft(), rect.size());
    return rect;
}

// A rectangle (the frame's top left, the window's size) made to fit the available area of the screen it mostly
// lies on, all four edges of its frame visible: shrunk where it is larger, then moved inside.
QRect withinScreen(const QRect& rect, const QSize& frameExtra, bool fixedSize)
{
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (!best)
        return rect;
    const QRect area = best->availableGeometry();
    QSize size = rect.size();
    if (!fixedSize)
        size = size.boundedTo(area.size() - frameExtra).expandedTo(QSize(1, 1));
    const QSize outer = size + frameExtra;
    const int left = std::max(area.left(), std::min(rect.left(), area.left() + area.width() - outer.width()));
    const int top = std::max(area.top(), std::min(rect.top(), area.top() + area.height() - outer.height()));
    return QRect(QPoint(left, top), size);
}

// The window's place in the normal state, also while it is maximized or minimized: the frame's top left
// (where move() puts it) and the size of the window proper (what resize() sets), so that it comes back exactly.
QRect normalRect(const QWidget* window)
{
    const QPoint frameOffset = window->geometry().topLeft() - window->pos();
    const QRect normal = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    return QRect(normal.topLeft() - frameOffset, normal.size());
}

} // namespace

WindowPlacement::WindowPlacement(QWidget* window)
    : QObject(window)
    , m_window(window)
{
}

WindowPlacement::~WindowPlacement() = default;

QString WindowPlacement::section() const
{
    if (!m_section.isEmpty())
        return m_section;
    // Without its namespace: the section names the window's class as it always has.
    const QString className = QLatin1String(m_window->metaObject()->className());
    return className.mid(className.lastIndexOf(u':') + 1);
}

int WindowPlacement::screenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

QString WindowPlacement::resolutionSuffix()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize();
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

bool WindowPlacement::runReported(void (WindowPlacement::*step)())
{
    try {
        (this->*step)();
        return true;
    } catch (const korbana::SettingsError& error) {
        if (m_reportError)
            m_reportError(error.text());
    } catch (const std::exception& error) {
        if (m_reportError)
            m_reportError(QString::fromUtf8(error.what()));
    }
    return false;
}

void WindowPlacement::restore()
{
    if (m_active && m_window)
        runReported(&WindowPlacement::restoreSteps);
}

void WindowPlacement::closeSave()
{
    if (m_active && m_window && m_window->testAttribute(Qt::WA_WState_Created))
        save();
}

void WindowPlacement::destroySave()
{
    // A save at close that failed has been reported; the same failure is not reported twice.
    if (!m_active || m_saved || m_saveFailed || !m_window)
        return;
    m_destroying = true;
    save();
    m_destroying = false;
}

void WindowPlacement::save()
{
    m_saveFailed = !runReported(&WindowPlacement::saveSteps);
}

void WindowPlacement::restoreSteps()
{
    m_saved = false;
    m_placed = false;
    korbana::SettingsStore store;
    store.open();
    const QString formSection = section();
    if (store.readInteger(formSection, kFormVersion, 0) >= m_version) {
        if (m_options & fpPosition)
            restorePosition(store);
        if (m_options & fpState)
            restoreState(store);
        m_restored = true;
        restoreProperties(store);
    }
    m_restored = true;
    store.close();
    if (!m_placed && (m_options & fpPosition))
        fitDesignedPlacement();
    updateMaxPosition();
}

void WindowPlacement::restorePosition(korbana::SettingsStore& store)
{
    const QString formSection = section();
    const QRect current = normalRect(m_window);
    m_flags = store.readInteger(formSection, kFlags, m_flags);
    bool found = false;

    const QStringList minMax = splitWords(placementText(store, formSection, kMinMaxPos));
    if (!minMax.isEmpty()) {
        m_minPosition = QPoint(word(minMax, 0, 0), word(minMax, 1, 0));
        m_maxPosition = QPoint(word(minMax, 2, 0), word(minMax, 3, 0));
        found = true;
    }
    int left = current.left();
    int top = current.top();
    int right = current.left() + current.width();
    int bottom = current.top() + current.height();
    const QStringList norm = splitWords(placementText(store, formSection, kNormPos));
    if (!norm.isEmpty()) {
        left = word(norm, 0, left);
        top = word(norm, 1, top);
        right = word(norm, 2, right);
        bottom = word(norm, 3, bottom);
        found = true;
    }
    // Positions saved at another resolution of the fonts would not fit the window's layout.
    if (store.readInteger(formSection, kPixelsPerInch, screenPixelsPerInch()) != screenPixelsPerInch())
        found = false;
    if (!found || right <= left)
        return;
    // Far beyond every screen is as good as off them all; kept in range, the rectangle's own arithmetic (its
    // right edge is left + width - 1) cannot overflow, and onScreen() brings it back.
    const int farAway = QWIDGETSIZE_MAX;
    const int boundedLeft = std::clamp(left, -farAway, farAway);
    const int boundedTop = std::clamp(top, -farAway, farAway);
    QRect rect(boundedLeft, boundedTop, boundedExtent(left, right, current.width(), Qt::Horizontal),
        boundedExtent(top, bottom, current.height(), Qt::Vertical));
    const bool fixedSize = m_window->minimumSize() == m_window->maximumSize();
    if (fixedSize)
        rect.setSize(current.size()); // a window of fixed size keeps it
    rect = onScreen(rect);
    // Stored for another screen or scale (nothing under this screen's own name): a place that was fine there
    // may reach beyond this one, so it is brought wholly onto it.
    if (rect != current && store.readString(formSection, kNormPos + resolutionSuffix(), QString()).isEmpty()) {
        const QSize frameExtra = m_window->frameGeometry().size() - m_window->geometry().size();
        rect = withinScreen(rect, frameExtra, fixedSize);
    }
    m_window->move(rect.topLeft());
    m_window->resize(rect.size());
    m_placed = true;
}

void WindowPlacement::fitDesignedPlacement()
{
    // The designed place stays as it is wherever the window fits; on a small screen, or at a large scale, the
    // window is shrunk onto the screen rather than opened partly beyond it.
    const QRect current = normalRect(m_window);
    const QSize frameExtra = m_window->frameGeometry().size() - m_window->geometry().size();
    const bool fixedSize = m_window->minimumSize() == m_window->maximumSize();
    const QRect fitted = withinScreen(onScreen(current), frameExtra, fixedSize);
    if (fitted.size() == current.size() && onScreen(current) == current)
        return;
    m_window->move(fitted.topLeft());
    m_window->resize(fitted.size());
}

void WindowPlacement::restoreState(korbana::SettingsStore& store)
{
    Qt::WindowState state = Qt::WindowNoState;
    switch (store.readInteger(section(), kShowCmd, 0)) {
    case 1:
    case 5:
    case 9:
        break;
    case 2:
    case 6:
    case 7:
        state = Qt::WindowMinimized;
        break;
    case 3:
        state = Qt::WindowMaximized;
        break;
    default:
        break;
    }
    const Qt::WindowStates others = m_window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == Qt::WindowMinimized) {
        // Minimized once the showing is through, so that the window comes back in its normal place.
        m_window->setWindowState(others);
        QMetaObject::invokeMethod(m_window, &QWidget::showMinimized, Qt::QueuedConnection);
        return;
    }
    m_window->setWindowState(others | state);
    m_window->update();
}

void WindowPlacement::updateMaxPosition()
{
    // The maximized position hides the sizing frame beyond the screen's edges.
    const QRect frame = m_window->frameGeometry();
    const QRect client = m_window->geometry();
    m_maxPosition = QPoint(-(client.left() - frame.left()), -(frame.bottom() - client.bottom()));
}

int WindowPlacement::showCommand() const
{
    if (m_window->isMinimized())
        return SwMinimized;
    if (m_window->isMaximized() || m_window->isFullScreen())
        return SwMaximized;
    return SwNormal;
}

void WindowPlacement::saveSteps()
{
    if (!m_restored)
        return;
    korbana::SettingsStore store;
    store.open();
    store.writeInteger(section(), kFormVersion, m_version);
    if (m_options & (fpState | fpPosition))
        savePlacement(store);
    saveProperties(store);
    m_saved = true;
    store.close();
}

void WindowPlacement::savePlacement(korbana::SettingsStore& store)
{
    const QString formSection = section();
    const Qt::WindowStates state = m_window->windowState();
    const int flags = (state & Qt::WindowMinimized) && (state & Qt::WindowMaximized) ? kRestoreToMaximized : 0;
    store.writeInteger(formSection, kFlags, flags);
    store.writeInteger(formSection, kShowCmd, showCommand());
    store.writeInteger(formSection, kPixelsPerInch, screenPixelsPerInch());
    const QString minMax = fourNumbers(m_minPosition.x(), m_minPosition.y(), m_maxPosition.x(), m_maxPosition.y());
    store.writeString(formSection, kMinMaxPos + resolutionSuffix(), minMax);
    store.writeString(formSection, kMinMaxPos, minMax);
    const QRect normal = normalRect(m_window);
    const QString norm
        = fourNumbers(normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height());
    store.writeString(formSection, kNormPos + resolutionSuffix(), norm);
    store.writeString(formSection, kNormPos, norm);
    store.writeBool(formSection, kVisible, m_destroying);
}

void WindowPlacement::restoreProperties(korbana::SettingsStore&) { }

void WindowPlacement::saveProperties(korbana::SettingsStore&) { }

} // namespace korbana
