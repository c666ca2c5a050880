#include "MergeBar.h"

#include "document/ListDocument.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace korbana {

MergeBar::MergeBar(ListDocument* document, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("mergeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    // One line, never taller than a tool bar: the lists below keep their place as far as can be.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 2, 0);
    layout->setSpacing(2);
    auto* text = new QLabel(QStringLiteral("Die Liste wurde anderswo geändert."), this);
    text->setForegroundRole(QPalette::ToolTipText);
    text->setWordWrap(false);
    text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(text, 1);
    const auto button = [this, layout](const QString& label, const QString& name) {
        auto* b = new QToolButton(this);
        b->setText(label);
        b->setObjectName(name);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        layout->addWidget(b);
        return b;
    };
    auto* merge = button(QStringLiteral("Zusammenführen"), QStringLiteral("mergeButton"));
    auto* later = button(QStringLiteral("Später"), QStringLiteral("laterButton"));
    connect(merge, &QToolButton::clicked, this, &MergeBar::mergeRequested);
    connect(later, &QToolButton::clicked, this, &QWidget::hide);
    hide();

    connect(document, &ListDocument::changedOnDiskWhileModified, this, &QWidget::show);
    connect(document, &ListDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            hide();
    });
}

} // namespace korbana
