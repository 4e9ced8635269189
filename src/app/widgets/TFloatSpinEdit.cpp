#include "TFloatSpinEdit.h"

#include <QLineEdit>
#include <algorithm>

namespace sonvira {
namespace {

// Reads "1.5" and "1,5" alike, whatever the locale.
bool ParseNumber(QString text, double& out) {
    text = text.trimmed();
    text.replace(',', '.');
    bool ok = false;
    out = QLocale::c().toDouble(text, &ok);
    return ok;
}

// What a number may be made of while it is typed; anything else (a letter that slipped
// in with a menu key) is refused as it is typed.
bool OnlyNumberCharacters(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isDigit() || c == '.' || c == ',' || c == '-' || c == '+' || c.isSpace();
    });
}

}  // namespace

TFloatSpinEdit::TFloatSpinEdit(double minimum, double maximum, double step, double value,
                               QWidget* parent)
    : QDoubleSpinBox(parent) {
    setDecimals(2);
    setRange(minimum, maximum);
    setSingleStep(step);
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    lastNumber_ = std::clamp(value, minimum, maximum);
    SetValue(value);
    // Typing changes the text directly; a value set by the program updates the text
    // silently and reports through valueChanged. Either way, one Changed per new text.
    connect(lineEdit(), &QLineEdit::textChanged, this, &TFloatSpinEdit::NoteTextChange);
    connect(this, &QDoubleSpinBox::valueChanged, this, &TFloatSpinEdit::NoteTextChange);
    // Leaving the field (or Return) may clamp the text without a new value: typing 100
    // after 10 leaves the value at 10 and only the text changes back, silently.
    connect(this, &QAbstractSpinBox::editingFinished, this, &TFloatSpinEdit::NoteTextChange);
}

void TFloatSpinEdit::NoteTextChange() {
    const QString text = lineEdit()->text();
    if (text == lastText_) return;
    lastText_ = text;
    double v = 0;
    if (ParseNumber(text, v)) lastNumber_ = v;
    emit Changed();
}

double TFloatSpinEdit::Value() const {
    double v = 0;
    return ParseNumber(lineEdit()->text(), v) ? v : lastNumber_;
}

void TFloatSpinEdit::SetValue(double value) { setValue(std::clamp(value, minimum(), maximum())); }

QValidator::State TFloatSpinEdit::validate(QString& text, int&) const {
    // A number may be typed out of range; the value is read from the text and clamped on
    // leaving.
    if (!OnlyNumberCharacters(text)) return QValidator::Invalid;
    double v = 0;
    if (!ParseNumber(text, v)) return QValidator::Intermediate;
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TFloatSpinEdit::fixup(QString& text) const { text = textFromValue(valueFromText(text)); }

double TFloatSpinEdit::valueFromText(const QString& text) const {
    double v = 0;
    return std::clamp(ParseNumber(text, v) ? v : lastNumber_, minimum(), maximum());
}

QString TFloatSpinEdit::textFromValue(double value) const {
    return QLocale::c().toString(value, 'f', 2);
}

}  // namespace sonvira
