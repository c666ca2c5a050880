#include "MergeBar.h"

#include "document/ListDocument.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace korbana {

MergeBar::MergeBar(ListDocument* document, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("mergeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* text = new QLabel(QStringLiteral("Die Liste wurde anderswo geändert."), this);
    text->setForegroundRole(QPalette::ToolTipText);
    layout->addWidget(text, 1);
    auto* merge = new QPushButton(QStringLiteral("Zusammenführen"), this);
    merge->setObjectName(QStringLiteral("mergeButton"));
    auto* later = new QPushButton(QStringLiteral("Später"), this);
    later->setObjectName(QStringLiteral("laterButton"));
    layout->addWidget(merge);
    layout->addWidget(later);
    connect(merge, &QPushButton::clicked, this, &MergeBar::mergeRequested);
    connect(later, &QPushButton::clicked, this, &QWidget::hide);
    hide();

    connect(document, &ListDocument::changedOnDiskWhileModified, this, &QWidget::show);
    connect(document, &ListDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            hide();
    });
}

} // namespace korbana
