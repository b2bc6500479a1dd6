#include "number_field.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

NumberField::NumberField(int minimum, int maximum, int value, QWidget *parent)
    : QAbstractSpinBox(parent), m_minimum(minimum), m_maximum(maximum)
{
    // Long enough for any value of the range, short enough that no typed value overflows.
    lineEdit()->setMaxLength(6);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumberField::changed);
    setValue(value);
}

int NumberField::value() const
{
    bool ok = false;
    const int typed = text().toInt(&ok);
    return ok ? typed : m_minimum;
}

void NumberField::setValue(int value)
{
    lineEdit()->setText(QString::number(value));
}

void NumberField::stepBy(int steps)
{
    setValue(qBound(m_minimum, value() + steps, m_maximum));
    selectAll();
}

QAbstractSpinBox::StepEnabled NumberField::stepEnabled() const
{
    // A typed value outside the range steps into it in either direction.
    StepEnabled enabled = StepNone;
    if (value() != m_maximum)
        enabled |= StepUpEnabled;
    if (value() != m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

bool NumberField::isAllowed(QChar c) const
{
    return c.isDigit() || c == u'+' || c == u'-' || locale().decimalPoint().contains(c);
}

QValidator::State NumberField::validate(QString &input, int &) const
{
    for (const QChar c : std::as_const(input)) {
        if (!isAllowed(c))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void NumberField::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !isAllowed(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void NumberField::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    bool ok = false;
    const int typed = text().toInt(&ok);
    if (ok && (typed < m_minimum || typed > m_maximum))
        setValue(qBound(m_minimum, typed, m_maximum));
}

bool NumberField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        emit clicked();
    return QAbstractSpinBox::eventFilter(watched, event);
}
