#include "StatusBar.h"

#include "document/ListDocument.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "print/ShoppingTotal.h"

#include <QLabel>
#include <QTimer>

namespace korbana {

namespace {

// How long a hint about a command stands in the status bar.
constexpr int kHintMs = 5000;

} // namespace

StatusBar::StatusBar(ListDocument* document, QWidget* parent)
    : QStatusBar(parent)
    , m_document(document)
    , m_total(new ShoppingTotal(*document->shopping(), this))
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(true);
    setFixedHeight(19);
    connect(document, &ListDocument::shoppingCountChanged, this, &StatusBar::showStatusText);

    // Entries whose price cannot be read count as 0; the user sees how many (their price cells carry a marker).
    auto* uncountedLabel = new QLabel(this);
    uncountedLabel->setObjectName(QStringLiteral("uncountedPricesLabel"));
    uncountedLabel->setToolTip(
        QStringLiteral("Diese Einträge zählen mit 0 zur Summe: ihr Preis ist keine Zahl (siehe Zeichen in „Preis“)."));
    addPermanentWidget(uncountedLabel);
    auto* totalLabel = new QLabel(this);
    totalLabel->setObjectName(QStringLiteral("shoppingTotalLabel"));
    addPermanentWidget(totalLabel);
    const auto showTotal = [totalLabel, uncountedLabel, total = m_total] {
        totalLabel->setText(total->text());
        const int uncounted = total->uncountedCount();
        uncountedLabel->setText(uncounted == 1 ? QStringLiteral("1 Preis nicht lesbar")
                                               : QStringLiteral("%1 Preise nicht lesbar").arg(uncounted));
        uncountedLabel->setVisible(uncounted > 0);
    };
    connect(m_total, &ShoppingTotal::changed, totalLabel, showTotal);
    showTotal();

    // Said once and kept in view until a copy succeeds again: a message box would interrupt the typing.
    auto* recoveryWarning = new QLabel(
        QStringLiteral("Die Wiederherstellungskopie konnte nicht geschrieben werden. Bitte speichern Sie."), this);
    recoveryWarning->setObjectName(QStringLiteral("recoveryWarning"));
    recoveryWarning->hide();
    addPermanentWidget(recoveryWarning);
    connect(document, &ListDocument::recoveryFailingChanged, recoveryWarning, &QWidget::setVisible);
}

void StatusBar::showStatusText()
{
    if (!m_held)
        showMessage(statusText(m_document->shopping()->count()));
}

void StatusBar::showHint(const QString& hint)
{
    // No box to click away; the status text that stood there comes back afterwards unless something else has been
    // shown meanwhile.
    const QString before = currentMessage();
    showMessage(hint);
    QTimer::singleShot(kHintMs, this, [this, before, hint] {
        if (currentMessage() == hint)
            showMessage(before);
    });
}

void StatusBar::showSaved(const QString& messageBeforeSave)
{
    const QString now = currentMessage();
    if (now.isEmpty() || now == statusText(m_document->shopping()->count()))
        return;
    const QString saved = QStringLiteral("Die Listen sind gespeichert.");
    showMessage(now == messageBeforeSave ? saved : saved + u' ' + now);
}

QString StatusBar::totalText() const
{
    return m_total->text();
}

} // namespace korbana
