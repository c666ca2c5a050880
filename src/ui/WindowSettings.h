#pragma once

class QWidget;

namespace korbana {

class Dialogs;
struct PrintFont;
class WindowStateStore;

// The store of the window's placement and of its stored properties (margins, print font, currency, price, panel
// widths), under the section and names the settings file has always used. printFont is the window's own: restoring
// writes into it, saving reads it. Errors of the store reach the user through dialogs.
WindowStateStore* createWindowSettings(QWidget* window, PrintFont* printFont, Dialogs& dialogs);

} // namespace korbana
