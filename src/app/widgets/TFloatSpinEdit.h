#pragma once
// A decimal field whose value is the number in its text. Its change signal fires on
// every change of the text, also while the user types, and the value may then lie
// outside the bounds for a moment (the number typed so far); the field clamps when it
// loses the focus. Only digits, a decimal point or comma, signs and blanks can be typed;
// text that still does not read as a number (empty, a lone point) keeps the value the
// field had, and leaving the field shows that value again. Values set by the program
// are clamped and shown with two decimals.

#include <QDoubleSpinBox>

namespace sonvira {

class TFloatSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    TFloatSpinEdit(double minimum, double maximum, double step, double value, QWidget* parent);

    // The number in the text as it stands (unclamped), or the last number the text held.
    double Value() const;
    // Sets a value from the program: clamped to the bounds, shown with two decimals.
    void SetValue(double value);

signals:
    void Changed();

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    // Leaving the field: the number in the text, clamped (the last number when there is none).
    void fixup(QString& text) const override;
    double valueFromText(const QString& text) const override;
    QString textFromValue(double value) const override;

private:
    void NoteTextChange();
    QString lastText_;
    double lastNumber_ = 0;  // the value of the last text that read as a number
};

}  // namespace sonvira
