#include "SpinEdit.h"

#include <QLineEdit>

#include <algorithm>
#include <optional>

namespace {

// Optional sign and decimal digits, nothing else; none for anything other.
std::optional<long long> WholeNumber(const QString& Text)
{
    const QString Trimmed = Text.trimmed();
    int Start = 0;
    if (!Trimmed.isEmpty() && (Trimmed[0] == QLatin1Char('+') || Trimmed[0] == QLatin1Char('-')))
        Start = 1;
    if (Trimmed.size() <= Start || Trimmed.size() - Start > 18)
        return std::nullopt;
    for (int Index = Start; Index < Trimmed.size(); ++Index)
        if (Trimmed[Index] < QLatin1Char('0') || Trimmed[Index] > QLatin1Char('9'))
            return std::nullopt;
    return Trimmed.toLongLong();
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* Parent) : QSpinBox(Parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int TSpinEdit::Clamped(long long Value) const
{
    return static_cast<int>(std::clamp<long long>(Value, minimum(), maximum()));
}

int TSpinEdit::Value() const
{
    const std::optional<long long> Number = WholeNumber(lineEdit()->text());
    return Number ? Clamped(*Number) : minimum();
}

void TSpinEdit::SetValue(int Value)
{
    setValue(Value);
}

QValidator::State TSpinEdit::validate(QString& Input, int&) const
{
    // Typing may pass through numbers outside the range; they are corrected on leaving.
    const QString Trimmed = Input.trimmed();
    if (Trimmed.isEmpty() || Trimmed == QLatin1String("-") || Trimmed == QLatin1String("+"))
        return QValidator::Intermediate;
    const std::optional<long long> Number = WholeNumber(Trimmed);
    if (!Number)
        return QValidator::Invalid;
    return *Number >= minimum() && *Number <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

int TSpinEdit::valueFromText(const QString& Text) const
{
    const std::optional<long long> Number = WholeNumber(Text);
    return Number ? Clamped(*Number) : minimum();
}

void TSpinEdit::focusOutEvent(QFocusEvent* Event)
{
    const int Corrected = Value();
    setValue(Corrected);
    lineEdit()->setText(textFromValue(Corrected));
    QSpinBox::focusOutEvent(Event);
}
