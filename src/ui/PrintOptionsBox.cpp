#include "PrintOptionsBox.h"

#include "settings/SettingsStore.h"
#include "settings/StoredNames.h"
#include "settings/WindowStateStore.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace korbana {

PrintOptionsBox::PrintOptionsBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Ausdruck"), parent)
    , m_tickBoxes(new QCheckBox(QStringLiteral("&Kästchen zum Abhaken"), this))
    , m_groupByShop(new QCheckBox(QStringLiteral("Nach &Läden gruppieren"), this))
    , m_leaveTickedOut(new QCheckBox(QStringLiteral("&Erledigte weglassen"), this))
{
    setObjectName(QStringLiteral("printOptionsGroup"));
    m_tickBoxes->setObjectName(QStringLiteral("tickBoxesCheck"));
    m_groupByShop->setObjectName(QStringLiteral("groupByShopCheck"));
    m_leaveTickedOut->setObjectName(QStringLiteral("leaveTickedOutCheck"));
    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* check : { m_tickBoxes, m_groupByShop, m_leaveTickedOut }) {
        // Outside the Tab chain of the settings page: the mouse or the Alt letter reaches them.
        check->setFocusPolicy(Qt::ClickFocus);
        layout->addWidget(check);
    }
}

PrintOptions PrintOptionsBox::options() const
{
    return { m_tickBoxes->isChecked(), m_groupByShop->isChecked(), m_leaveTickedOut->isChecked() };
}

void PrintOptionsBox::keepIn(WindowStateStore& settings)
{
    using namespace StoredNames;
    const QString section = QString::fromUtf16(kPrintOptionsSection);
    settings.setFurtherValues(
        [this, section](SettingsStore& store) {
            m_tickBoxes->setChecked(store.readInteger(section, QString::fromUtf16(kTickBoxes), 0) != 0);
            m_groupByShop->setChecked(store.readInteger(section, QString::fromUtf16(kGroupByShop), 0) != 0);
            m_leaveTickedOut->setChecked(store.readInteger(section, QString::fromUtf16(kLeaveTickedOut), 0) != 0);
        },
        [this, section](SettingsStore& store) {
            store.writeBool(section, QString::fromUtf16(kTickBoxes), m_tickBoxes->isChecked());
            store.writeBool(section, QString::fromUtf16(kGroupByShop), m_groupByShop->isChecked());
            store.writeBool(section, QString::fromUtf16(kLeaveTickedOut), m_leaveTickedOut->isChecked());
        });
}

} // namespace korbana
