#include "controls/Accessible.h"

#include "controls/ASLink.h"
#include "controls/ColorButton.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"

#include "controls/Hints.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>

namespace jov {

namespace {

class TAccessibleControl : public QAccessibleWidget
{
public:
    TAccessibleControl(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Description && text.isEmpty()) {
            if (auto *panel = qobject_cast<TPanel *>(widget()))
                return panel->colorDescription();
            if (auto *button = qobject_cast<TColorButton *>(widget()))
                return button->colorDescription();
        }
        if (t != QAccessible::Name || !text.isEmpty())
            return text;
        // Without a name of its own a control is named by what it shows.
        if (auto *button = qobject_cast<TColorButton *>(widget())) {
            text = button->caption();
            RemoveAccelMark(text);
        } else if (auto *link = qobject_cast<TASLink *>(widget())) {
            text = link->caption();
        } else if (auto *box = qobject_cast<TGroupBox *>(widget())) {
            text = box->caption().trimmed();
        }
        return text;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (clickable() && widget()->isEnabled())
            names.prepend(QAccessibleActionInterface::pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action != QAccessibleActionInterface::pressAction() || !widget()->isEnabled()) {
            QAccessibleWidget::doAction(action);
        } else if (auto *button = qobject_cast<TColorButton *>(widget())) {
            button->click();
        } else if (auto *link = qobject_cast<TASLink *>(widget())) {
            link->click();
        }
    }

private:
    bool clickable() const
    {
        return qobject_cast<TColorButton *>(widget()) || qobject_cast<TASLink *>(widget());
    }
};

QAccessibleInterface *ControlInterface(const QString &className, QObject *object)
{
    static const std::pair<const char *, QAccessible::Role> roles[] = {
        {"jov::TColorButton", QAccessible::Button},  {"jov::TASLink", QAccessible::Link},
        {"jov::TPanel", QAccessible::Pane},          {"jov::TImage", QAccessible::Graphic},
        {"jov::TShape", QAccessible::Graphic},       {"jov::TGroupBox", QAccessible::Grouping},
        {"jov::TNumberField", QAccessible::SpinBox}, {"jov::TStatusBar", QAccessible::StatusBar}};
    if (!object || !object->isWidgetType())
        return nullptr;
    for (const auto &[name, role] : roles) {
        if (className == QLatin1String(name))
            return new TAccessibleControl(static_cast<QWidget *>(object), role);
    }
    return nullptr;
}

void ApplyName(QWidget *widget)
{
    const QString text = LongHint(HintOf(widget)).trimmed();
    if (auto *label = qobject_cast<QLabel *>(widget);
        label && !label->movie() && label->pixmap().isNull()) {
        label->setAccessibleDescription(text);
        return;
    }
    widget->setAccessibleName(text);
    // The control's focus goes to its proxy (a field's text), which is what a reader announces.
    if (QWidget *proxy = widget->focusProxy())
        proxy->setAccessibleName(text);
    if (auto *button = qobject_cast<QAbstractButton *>(widget);
        button && button->accessibleDescription().isEmpty())
        button->setAccessibleDescription(QString(button->text()).remove(QLatin1Char('&')));
}

// Names every control with a hint when an assistive technology starts listening.
class TNamingObserver : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (!active)
            return;
        for (QWidget *widget : QApplication::allWidgets()) {
            if (!HintOf(widget).isEmpty())
                ApplyName(widget);
        }
    }
};

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        static TNamingObserver observer;
        QAccessible::installActivationObserver(&observer);
        return true;
    }();
    Q_UNUSED(installed);
}

void NameAfterHint(QWidget *widget)
{
    InstallAccessibleControls();
    if (QAccessible::isActive())
        ApplyName(widget);
}

void NotifyDescriptionChanged(QWidget *widget)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace jov
