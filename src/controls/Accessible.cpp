#include "controls/Accessible.h"

#include "controls/ASLink.h"
#include "controls/ColorButton.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace jov {

namespace {

class TAccessibleControl : public QAccessibleWidget
{
public:
    TAccessibleControl(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
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

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace jov
