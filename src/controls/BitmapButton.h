#pragma once

#include "controls/ButtonDrawing.h"
#include "controls/ButtonKinds.h"
#include "controls/GlyphCache.h"
#include "controls/VisualThemes.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>

#include <functional>

namespace korbana {

// Kept for form compatibility; it does not change the drawing.
enum class ButtonStyle { AutoDetect, Win31, New };

// A push button that draws a glyph beside its caption, themed under a modern style and classic under the
// "windows" style. Connect handlers to activated(): it follows the kind's rules (a Close or Help button
// emits none), while QAbstractButton::clicked reports every press.
class BitmapButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BitmapButton)

public:
    explicit BitmapButton(QWidget* parent = nullptr);
    ~BitmapButton() override;

    // Reads ButtonKind::Custom, for good, once a role, the modal result or the glyph differs from the kind's.
    ButtonKind kind() const;
    void setKind(ButtonKind kind);
    QImage glyph() const;
    void setGlyph(const QImage& glyph);
    int numGlyphs() const;
    void setNumGlyphs(int value);
    ButtonLayout glyphLayout() const { return m_glyphLayout; }
    void setGlyphLayout(ButtonLayout layout);
    // Pixels from the edge to the glyph; -1 centres the block. Values below -1 are refused.
    int glyphMargin() const { return m_glyphMargin; }
    void setGlyphMargin(int margin);
    // Pixels between glyph and caption; -1 spreads the free room evenly.
    int glyphSpacing() const { return m_glyphSpacing; }
    void setGlyphSpacing(int spacing);
    ButtonStyle buttonStyle() const { return m_buttonStyle; }
    void setButtonStyle(ButtonStyle style);
    // The dialog result this button closes its dialog with; ModalResult::None leaves the dialog open.
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    // Enter clicks the default button of a window unless another push button has the focus. Unlike
    // QPushButton::isDefault(), which the dialog moves with the focus, this is the role the button was given.
    bool isDefaultButton() const { return m_defaultButton; }
    void setDefaultButton(bool value);
    // Escape in the button's window clicks it.
    bool isCancelButton() const { return m_cancelButton; }
    void setCancelButton(bool value);

    // True while the button shows itself as the active default button of its window.
    bool defaultLook() const { return m_defaultLook; }
    ButtonGlyph* buttonGlyph() const { return m_glyph; }
    bool themeOpened() const { return m_theme != nullptr; }

    // A Help button asks this with the first non-zero "helpContext" property up the parents; none installed: no
    // help.
    static void setHelpHandler(std::function<void(int)> handler);

Q_SIGNALS:
    // The button was clicked and did what its kind does on a click (Close and Help buttons may not get here).
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runKindAction();
    void applyModalResultAndActivate();
    void updateDefaultLook();
    void watchWindow();

    ButtonGlyph* m_glyph = nullptr;
    VisualThemes::ThemeHandle m_theme;
    mutable ButtonKind m_kind = ButtonKind::Custom;
    ButtonLayout m_glyphLayout = ButtonLayout::GlyphLeft;
    ButtonStyle m_buttonStyle = ButtonStyle::AutoDetect;
    int m_glyphMargin = -1;
    int m_glyphSpacing = 4;
    int m_modalResult = ModalResult::None;
    bool m_defaultButton = false;
    bool m_cancelButton = false;
    bool m_defaultLook = false;
    bool m_modifiedGlyph = false;
    QPointer<QWidget> m_watchedWindow;
};

} // namespace korbana
