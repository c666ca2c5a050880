#pragma once

#include <QRect>
#include <QString>

#include <memory>

class QPainter;
class QPalette;
class QWidget;

namespace korbana {

// The visual-themes layer the buttons draw through. "Themes" are in use when the widget's style is not
// the classic "windows" style; themed drawing then goes through that style's push-button panel.
namespace VisualThemes {

// The part of the "BUTTON" class that the buttons draw, and its states.
constexpr int kPushButtonPart = 1;
// None is no state of its own: the theme draws it like Normal.
namespace PushButtonState {
enum : int { None = 0, Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Defaulted = 5 };
}

// Open theme data of one class list; closing it is the destruction of the handle.
class ThemeData
{
public:
    explicit ThemeData(QString classList)
        : m_classList(std::move(classList))
    {
    }
    const QString& classList() const { return m_classList; }

private:
    QString m_classList;
};
using ThemeHandle = std::unique_ptr<ThemeData>;

// Loads the library on the first call and counts every call; thread-safe.
void initThemeLibrary();
// Unloads the library and resets the count (also done at program end).
void freeThemeLibrary();
bool libraryLoaded();
int referenceCount();
// How often the library was loaded since the program started (it is loaded once per life of the count).
int loadCount();

// The application draws themed: the library is loaded and the widget's style is not the classic one.
bool isAppThemed(const QWidget* widget);
// The desktop's theme is switched on; false for the classic "windows" style.
bool isThemeActive(const QWidget* widget);
bool themesInUse(const QWidget* widget);

// Null when themes are not in use.
ThemeHandle openThemeData(const QWidget* widget, const QString& classList);
// Draws part kPushButtonPart in one of the states above with the widget's style; no hover look is ever drawn.
void drawThemeBackground(
    const ThemeData& theme, QPainter& painter, const QWidget& widget, int part, int state, const QRect& rect);

// The classic push-button frame (two pixels: highlight/dark outside, light/shadow inside) filled with the
// button face. Returns the frame's interior.
QRect drawClassicButtonFrame(QPainter& painter, const QRect& rect, const QPalette& palette);

} // namespace VisualThemes

} // namespace korbana
