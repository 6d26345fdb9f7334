#pragma once

#include <QCheckBox>
#include <QRadioButton>

namespace jov {

// A check box and a radio button that react to a click anywhere in their rectangle, as their
// places in the windows promise, not only on the box and the text.
class TCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

class TRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace jov
