#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

namespace jov {

// Whether a typed character may enter a numeric field: digits, "+", "-", the decimal
// separator, and control characters other than Return.
bool IsNumberFieldChar(QChar c, QChar decimalSeparator);

/// A whole-number field: a line edit with small up and down buttons on its right. The text is
/// what the user typed; value() reads it, setValue() writes it clamped to the range.
class TNumberField : public QWidget
{
    Q_OBJECT

public:
    explicit TNumberField(QWidget *parent = nullptr);

    // The text as a whole number; text that is not one reads as minimum(). Not clamped: a
    // typed value outside the range stays until the field is left.
    int value() const;
    // value() brought into minimum()..maximum(): what the field stands for while a typed value
    // outside the range waits for the field to be left.
    int clampedValue() const { return clamped(value()); }
    // Clamped to minimum()..maximum(), then written as decimal text if that text differs.
    void setValue(int value);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);

    int maxLength() const;
    void setMaxLength(int length);

    QString text() const;
    QLineEdit *lineEdit() const { return m_edit; }

    // Adds `steps` to value() through setValue(); the buttons and the Up/Down keys use 1/-1.
    void stepBy(int steps);

    // Sounds the refusal of a typed character; QApplication::beep unless replaced.
    void setBeepHook(std::function<void()> beep);

Q_SIGNALS:
    // The text changed, by typing or by setValue().
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void beep();
    int clamped(int value) const;

    QLineEdit *m_edit = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_minimum = 0;
    int m_maximum = 99;
    std::function<void()> m_beep;
};

} // namespace jov
