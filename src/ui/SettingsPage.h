#pragma once

#include "SpinEdit.h"

#include <QWidget>

class QIcon;
class QTabWidget;

namespace korbana {

class BitmapButton;

// The settings page: the picture at its left, the print font button and the four page margins. It adds itself
// to the window's pages; the window wires the button and stores the fields.
class SettingsPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsPage)

public:
    SettingsPage(QTabWidget* pages, const QIcon& icon);

    BitmapButton* fontButton() const { return m_fontButton; }
    // The part right of the picture, where the fields are.
    QWidget* body() const { return m_body; }
    SpinEdit* leftMarginEdit() const { return m_leftMarginEdit; }
    SpinEdit* topMarginEdit() const { return m_topMarginEdit; }
    SpinEdit* rightMarginEdit() const { return m_rightMarginEdit; }
    SpinEdit* bottomMarginEdit() const { return m_bottomMarginEdit; }
    // Margins in whole millimetres as the fields read them: text that is no whole number gives 0.
    int leftMargin() const { return m_leftMarginEdit->intValue(); }
    int topMargin() const { return m_topMarginEdit->intValue(); }
    int rightMargin() const { return m_rightMarginEdit->intValue(); }
    int bottomMargin() const { return m_bottomMarginEdit->intValue(); }

private:
    // The green panel with the picture and its title; the picture is read when the page is first chosen.
    QWidget* buildPicture(QTabWidget* pages, QWidget* parent);

    QWidget* m_body = nullptr;
    BitmapButton* m_fontButton = nullptr;
    SpinEdit* m_leftMarginEdit = nullptr;
    SpinEdit* m_topMarginEdit = nullptr;
    SpinEdit* m_rightMarginEdit = nullptr;
    SpinEdit* m_bottomMarginEdit = nullptr;
};

} // namespace korbana
