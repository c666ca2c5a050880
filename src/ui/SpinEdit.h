#pragma once

#include <QAbstractSpinBox>

namespace korbana {

// A spin field over free text: its value is its text read as a number (0 when that fails), and a value
// typed outside the bounds is brought to the nearer one when the field loses the focus. Bounds of 0 and 0
// mean none. Whole-number fields round halves to the even neighbour.
class SpinEdit final : public QAbstractSpinBox
{
    Q_OBJECT
    Q_PROPERTY(double Value READ value WRITE setValue)
    Q_DISABLE_COPY_MOVE(SpinEdit)

public:
    explicit SpinEdit(QWidget* parent = nullptr);

    void setDecimals(int decimals) { m_decimals = decimals; }
    int decimals() const { return m_decimals; }
    void setRange(double minValue, double maxValue);
    void setIncrement(double increment) { m_increment = increment; }

    double value() const;
    // Clamped into the bounds (when there are any), rounded to the decimals, shown in the locale's form.
    void setValue(double value);
    // The text read as a whole number; 0 when it is none.
    int intValue() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool bounded() const { return m_min != 0.0 || m_max != 0.0; }
    double clamp(double value) const;
    QString format(double value) const;

    int m_decimals = 0;
    double m_min = 0;
    double m_max = 0;
    double m_increment = 1;
};

} // namespace korbana
