#pragma once
// The push button used on every window: a caption with the style's standard icon for its
// kind. An OK button accepts the dialog it sits in, a cancel button rejects it (like the
// dialog buttons of the platform); a custom button only emits clicked().

#include <QPushButton>

namespace sonvira {

class TBitBtnXP : public QPushButton {
    Q_OBJECT
public:
    enum class Kind { Custom, OK, Cancel };

    TBitBtnXP(Kind kind, const QString& caption, QWidget* parent = nullptr);
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

}  // namespace sonvira
