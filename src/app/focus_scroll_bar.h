#pragma once

#include <QScrollBar>

namespace kentrikh {

// A horizontal scroll bar that a person can reach with Tab and move with the keys: the
// arrows by its small step, Page Up and Page Down by its large step, Home and End to the
// ends. Left, Up, Page Up and Home move the thumb towards the minimum at the left, as on
// the desktops the design comes from. The style draws no focus mark on a scroll bar, so
// this one draws its own whenever it has the focus.
class FocusScrollBar : public QScrollBar
{
public:
    explicit FocusScrollBar(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kentrikh
