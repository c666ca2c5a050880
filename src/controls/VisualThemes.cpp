#include "VisualThemes.h"

#include "Pictures.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <qdrawutil.h>

#include <mutex>

namespace korbana {

namespace VisualThemes {

namespace {

std::mutex s_lock;
bool s_loaded = false;
int s_references = 0;
int s_loads = 0;
bool s_postRoutineAdded = false;

void releaseAtExit()
{
    freeThemeLibrary();
}

bool isClassicStyle(const QWidget* widget)
{
    const QStyle* style = widget ? Pictures::drawingStyle(widget->style()) : nullptr;
    return !style || style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
}

} // namespace

void initThemeLibrary()
{
    const std::lock_guard<std::mutex> guard(s_lock);
    if (!s_loaded) {
        s_loaded = true;
        ++s_loads;
        if (!s_postRoutineAdded && QCoreApplication::instance()) {
            qAddPostRoutine(releaseAtExit);
            s_postRoutineAdded = true;
        }
    }
    ++s_references;
}

void freeThemeLibrary()
{
    const std::lock_guard<std::mutex> guard(s_lock);
    s_loaded = false;
    s_references = 0;
}

bool libraryLoaded()
{
    const std::lock_guard<std::mutex> guard(s_lock);
    return s_loaded;
}

int referenceCount()
{
    const std::lock_guard<std::mutex> guard(s_lock);
    return s_references;
}

int loadCount()
{
    const std::lock_guard<std::mutex> guard(s_lock);
    return s_loads;
}

bool isAppThemed(const QWidget* widget)
{
    return libraryLoaded() && !isClassicStyle(widget);
}

bool isThemeActive(const QWidget* widget)
{
    return !isClassicStyle(widget);
}

bool themesInUse(const QWidget* widget)
{
    return isAppThemed(widget) && isThemeActive(widget);
}

ThemeHandle openThemeData(const QWidget* widget, const QString& classList)
{
    if (!themesInUse(widget))
        return nullptr;
    return std::make_unique<ThemeData>(classList);
}

void drawThemeBackground(
    const ThemeData& theme, QPainter& painter, const QWidget& widget, int part, int state, const QRect& rect)
{
    if (part != kPushButtonPart || theme.classList().compare(QLatin1String("BUTTON"), Qt::CaseInsensitive) != 0)
        return;
    QStyleOptionButton option;
    option.initFrom(&widget);
    option.rect = rect;
    // Only the given state speaks: never a hover or focus look of the style's own.
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus | QStyle::State_Sunken | QStyle::State_On);
    option.state |= QStyle::State_Raised;
    switch (state) {
    case PushButtonState::Pressed:
        option.state |= QStyle::State_Sunken | QStyle::State_Enabled;
        option.state &= ~QStyle::State_Raised;
        break;
    case PushButtonState::Disabled:
        option.state &= ~QStyle::State_Enabled;
        break;
    case PushButtonState::Hot:
        option.state |= QStyle::State_MouseOver | QStyle::State_Enabled;
        break;
    case PushButtonState::Normal:
    case PushButtonState::Defaulted:
        // The active button of its window: the style's default-button panel.
        option.state |= QStyle::State_Enabled;
        option.features |= QStyleOptionButton::DefaultButton;
        break;
    default:
        option.state |= QStyle::State_Enabled;
        break;
    }
    widget.style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, &widget);
}

QRect drawClassicButtonFrame(QPainter& painter, const QRect& rect, const QPalette& palette)
{
    const QBrush& face = palette.button();
    qDrawWinButton(&painter, rect, palette, false, &face);
    return rect.adjusted(2, 2, -2, -2);
}

} // namespace VisualThemes

} // namespace korbana
