#pragma once

#include <QSpinBox>

// An integer spin edit: whole numbers only, with the range applied as the
// user leaves the field rather than while typing, and any text that is no
// number read as the minimum.
class TSpinEdit : public QSpinBox
{
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* Parent = nullptr);

    // The number the text shows, brought into the range; the minimum when the
    // text is no number.
    int Value() const;
    void SetValue(int Value);

    QValidator::State validate(QString& Input, int& Position) const override;
    int valueFromText(const QString& Text) const override;

protected:
    void focusOutEvent(QFocusEvent* Event) override;

private:
    int Clamped(long long Value) const;
};
