#pragma once

#include <QAbstractSpinBox>

// A whole-number field with arrows. The arrows step within the range, and a typed value outside
// it steps to the nearer limit; typed text is taken
// literally while the field has the focus, so a value outside the range is used as typed, and
// text that is no whole number counts as the minimum. Leaving the field sets a value outside the
// range back to the nearer limit. Keys other than digits, signs and the decimal separator are
// refused with a beep.
class NumberField : public QAbstractSpinBox
{
    Q_OBJECT
public:
    NumberField(int minimum, int maximum, int value, QWidget *parent = nullptr);

    int value() const;
    void setValue(int value);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    // The text changed, by typing, the arrows or a reset on leaving.
    void changed();
    // The user clicked into the text with the left button (not onto the arrows).
    void clicked();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isAllowed(QChar c) const;

    int m_minimum;
    int m_maximum;
};
