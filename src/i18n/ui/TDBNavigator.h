#pragma once
// The translation editor's record navigator: ten flat buttons in a row (first, previous,
// next, last, insert, delete, edit, post, cancel, refresh) without hints. The buttons take
// the focus when clicked, so that a cell being edited in the grid is committed before the
// button's command runs. User-interface thread only.

#include <QWidget>

#include <array>

class QToolButton;

namespace sonvira {

enum class NavigateBtn { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
inline constexpr int kNavigateButtons = 10;

class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);

    QToolButton* Button(NavigateBtn which) const { return buttons_[static_cast<std::size_t>(which)]; }
    void SetButtonEnabled(NavigateBtn which, bool enabled);

signals:
    void Clicked(sonvira::NavigateBtn which);

private:
    std::array<QToolButton*, kNavigateButtons> buttons_ {};
};

}  // namespace sonvira
