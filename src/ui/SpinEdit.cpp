#include "SpinEdit.h"

#include "lists/ListTexts.h"

#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace korbana {

SpinEdit::SpinEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(false);
    setValue(0);
}

void SpinEdit::setRange(double minValue, double maxValue)
{
    m_min = minValue;
    m_max = maxValue;
}

double SpinEdit::value() const
{
    return korbana::readNumber(text()).value_or(0.0);
}

int SpinEdit::intValue() const
{
    bool ok = false;
    const int v = text().trimmed().toInt(&ok);
    return ok ? v : 0;
}

double SpinEdit::clamp(double value) const
{
    return bounded() ? std::clamp(value, m_min, m_max) : value;
}

QString SpinEdit::format(double value) const
{
    if (m_decimals == 0) {
        // Halves go to the even neighbour (12.5 gives 12), the default rounding mode.
        const int previous = std::fegetround();
        std::fesetround(FE_TONEAREST);
        const double whole = std::nearbyint(value);
        std::fesetround(previous);
        return QLocale::c().toString(whole, 'f', 0);
    }
    if (m_decimals == 2)
        return korbana::amountText(value);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', m_decimals);
}

void SpinEdit::setValue(double value)
{
    lineEdit()->setText(format(clamp(value)));
}

void SpinEdit::stepBy(int steps)
{
    setValue(value() + steps * m_increment);
    selectAll();
}

QValidator::State SpinEdit::validate(QString&, int&) const
{
    // Nothing typed is refused; only the readers interpret the text.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (!bounded())
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    const double v = value();
    if (v < m_max)
        enabled |= StepUpEnabled;
    if (v > m_min)
        enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event)
{
    const auto typed = korbana::readNumber(text());
    if (bounded()) {
        if (typed && (*typed < m_min || *typed > m_max))
            setValue(*typed);
    } else if (typed && m_decimals > 0) {
        setValue(*typed); // a price typed as "10" shows as "10,00"
    }
    QAbstractSpinBox::focusOutEvent(event);
}

} // namespace korbana
