#pragma once

#include <QCheckBox>

namespace kentrikh {

// A check box whose caption wraps onto further lines within the box's own size, so
// that long captions stay readable in the narrow places the window gives them.
class WrappingCheckBox : public QCheckBox
{
public:
    explicit WrappingCheckBox(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QRect textRect() const;
};

} // namespace kentrikh
