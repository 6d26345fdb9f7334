#include "controls/NumberField.h"

#include "controls/Accessible.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace jov {

bool IsNumberFieldChar(QChar c, QChar decimalSeparator)
{
    const char16_t u = c.unicode();
    if (u == u'\r')
        return false;
    if (u < 0x20 || u == 0x7F)
        return true;
    return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || c == decimalSeparator;
}

TNumberField::TNumberField(QWidget *parent) : QWidget(parent), m_beep([] { QApplication::beep(); })
{
    m_edit = new QLineEdit(this);
    m_edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    m_edit->installEventFilter(this);

    auto makeButton = [this](Qt::ArrowType arrow) {
        auto *button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        // Clicking an arrow must not take the focus from the text, nor "leave" the field.
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedWidth(16);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        return button;
    };
    m_up = makeButton(Qt::UpArrow);
    m_down = makeButton(Qt::DownArrow);
    m_up->setAccessibleName(tr("Augmenter"));
    m_down->setAccessibleName(tr("Diminuer"));

    auto *arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addLayout(arrows);

    setFocusProxy(m_edit);
    setSizePolicy(m_edit->sizePolicy());

    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    connect(m_edit, &QLineEdit::textChanged, this, &TNumberField::changed);

    m_edit->setText(QString::number(m_minimum));
    InstallAccessibleControls();
}

int TNumberField::value() const
{
    bool ok = false;
    const int v = m_edit->text().toInt(&ok, 10);
    return ok ? v : m_minimum;
}

int TNumberField::clamped(int value) const
{
    return std::clamp(value, m_minimum, m_maximum);
}

void TNumberField::setValue(int value)
{
    const QString text = QString::number(clamped(value));
    if (text != m_edit->text())
        m_edit->setText(text);
}

void TNumberField::setMinimum(int minimum)
{
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
}

void TNumberField::setMaximum(int maximum)
{
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
}

void TNumberField::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
}

int TNumberField::maxLength() const
{
    return m_edit->maxLength();
}

void TNumberField::setMaxLength(int length)
{
    m_edit->setMaxLength(length);
}

QString TNumberField::text() const
{
    return m_edit->text();
}

void TNumberField::stepBy(int steps)
{
    // Computed wide so that a step from the ends of the int range cannot overflow.
    const long long next = (long long)value() + steps;
    setValue(int(std::clamp<long long>(next, m_minimum, m_maximum)));
}

void TNumberField::setBeepHook(std::function<void()> beep)
{
    m_beep = std::move(beep);
}

void TNumberField::beep()
{
    if (m_beep)
        m_beep();
}

bool TNumberField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            stepBy(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        // Ctrl with a letter types a control character (Ctrl+A, Ctrl+V), whatever text the
        // platform attaches to the event; Ctrl+Alt is AltGr, which types real characters.
        const Qt::KeyboardModifiers mods = key->modifiers();
        const bool control = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
        const QString typed = key->text();
        if (!typed.isEmpty() && !control) {
            const QString point = locale().decimalPoint();
            const QChar separator = point.isEmpty() ? QLatin1Char('.') : point.at(0);
            const bool accepted = std::all_of(typed.begin(), typed.end(), [separator](QChar c) {
                return IsNumberFieldChar(c, separator);
            });
            if (!accepted) {
                beep();
                // Return stays refused here, yet goes on to the window (a default button).
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                    key->ignore();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut) {
        const int v = value();
        if (clamped(v) != v)
            setValue(v);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace jov
