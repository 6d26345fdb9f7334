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
#include <QPointer>
#include <QWindow>

namespace jov {

namespace {

const char *const kSelectedProperty = "jovAccessibleSelected";
const char *const kHiddenProperty = "jovAccessibleHidden";
const char *const kFocusPolicyProperty = "jovFocusPolicyWhileShown";

// The program's own controls and what assistive technologies are told they are.
const std::pair<const char *, QAccessible::Role> kControlRoles[] = {
    {"jov::TColorButton", QAccessible::Button},  {"jov::TASLink", QAccessible::Link},
    {"jov::TPanel", QAccessible::Pane},          {"jov::TImage", QAccessible::Graphic},
    {"jov::TShape", QAccessible::Graphic},       {"jov::TGroupBox", QAccessible::Grouping},
    {"jov::TNumberField", QAccessible::SpinBox}, {"jov::TStatusBar", QAccessible::StatusBar}};

bool IsOwnControl(const QWidget *widget)
{
    const QLatin1StringView className(widget->metaObject()->className());
    for (const auto &[name, role] : kControlRoles) {
        if (className == QLatin1StringView(name))
            return true;
    }
    return false;
}

// The text one of the program's own controls shows, without its accelerator mark.
QString ShownText(const QWidget *widget)
{
    QString text;
    if (auto *button = qobject_cast<const TColorButton *>(widget)) {
        text = button->caption();
        RemoveAccelMark(text);
    } else if (auto *link = qobject_cast<const TASLink *>(widget)) {
        text = link->caption();
    } else if (auto *box = qobject_cast<const TGroupBox *>(widget)) {
        text = box->caption().trimmed();
    }
    return text;
}

QString HintText(const QWidget *widget)
{
    return LongHint(HintOf(widget)).trimmed();
}

// One text panel of a status bar (the single full-width text when the bar shows it alone).
class TStatusPanelInterface : public QAccessibleInterface
{
public:
    TStatusPanelInterface(TStatusBar *bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->panelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !shown())
            return QString();
        return (m_bar->simplePanel() ? m_bar->simpleText() : m_bar->panelText(m_index)).trimmed();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!m_bar)
            return QRect();
        const QRect r = across() ? m_bar->rect() : m_bar->panelRect(m_index);
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !shown();
        return state;
    }

private:
    // The first panel's text shown alone across the bar.
    bool across() const { return m_bar->simplePanel() || m_bar->firstPanelOverflows(); }
    bool shown() const { return m_bar && m_bar->isVisible() && (m_index == 0 || !across()); }

    QPointer<TStatusBar> m_bar;
    int m_index;
};

class TAccessibleControl : public QAccessibleWidget
{
public:
    TAccessibleControl(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    ~TAccessibleControl() override
    {
        for (QAccessible::Id id : std::as_const(m_panels))
            QAccessible::deleteAccessibleInterface(id);
    }

    // A name the program gave, else the text the control shows, else its hint (a status bar:
    // its message). A control that shows a text is described by its hint; one that shows a
    // colour, by that colour. A link's value is the address it opens.
    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (!text.isEmpty() ||
            (t != QAccessible::Name && t != QAccessible::Description && t != QAccessible::Value))
            return text;
        if (auto *bar = qobject_cast<TStatusBar *>(widget())) {
            if (t == QAccessible::Name)
                text = (bar->simplePanel() ? bar->simpleText() : bar->panelText(0)).trimmed();
            return text;
        }
        if (t == QAccessible::Value) {
            if (auto *link = qobject_cast<TASLink *>(widget()))
                text = link->linkTarget();
            return text;
        }
        const QString shown = ShownText(widget());
        if (t == QAccessible::Name)
            return shown.isEmpty() ? HintText(widget()) : shown;
        if (auto *panel = qobject_cast<TPanel *>(widget()))
            text = panel->colorDescription();
        else if (auto *button = qobject_cast<TColorButton *>(widget()))
            text = button->colorDescription();
        if (text.isEmpty() && !shown.isEmpty())
            text = HintText(widget());
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (!widget()->isVisible())
            state.focusable = false;
        if (const QVariant selected = widget()->property(kSelectedProperty); selected.isValid()) {
            state.selectable = true;
            state.selected = selected.toBool();
        }
        return state;
    }

    // The child widgets but the decorative ones, then a status bar's panels.
    int childCount() const override { return int(listedChildren().size()); }
    QAccessibleInterface *child(int index) const override { return listedChildren().value(index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(listedChildren().indexOf(const_cast<QAccessibleInterface *>(child)));
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
            return;
        }
        // The click comes once the request has been answered: a click that opens a modal
        // dialog would otherwise hold the assistive technology until the dialog closes.
        QWidget *control = widget();
        QMetaObject::invokeMethod(
            control,
            [control] {
                if (auto *button = qobject_cast<TColorButton *>(control))
                    button->click();
                else if (auto *link = qobject_cast<TASLink *>(control))
                    link->click();
            },
            Qt::QueuedConnection);
    }

private:
    bool clickable() const
    {
        return qobject_cast<TColorButton *>(widget()) || qobject_cast<TASLink *>(widget());
    }

    QList<QAccessibleInterface *> listedChildren() const
    {
        QList<QAccessibleInterface *> children;
        for (int i = 0, n = QAccessibleWidget::childCount(); i < n; ++i) {
            QAccessibleInterface *child = QAccessibleWidget::child(i);
            if (child && !(child->object() && child->object()->property(kHiddenProperty).toBool()))
                children.append(child);
        }
        if (auto *bar = qobject_cast<TStatusBar *>(widget())) {
            for (int i = 0; i < bar->panelCount(); ++i) {
                if (i == m_panels.size()) {
                    m_panels.append(QAccessible::registerAccessibleInterface(
                        new TStatusPanelInterface(bar, i)));
                }
                children.append(QAccessible::accessibleInterface(m_panels[i]));
            }
        }
        return children;
    }

    mutable QList<QAccessible::Id> m_panels;
};

QAccessibleInterface *ControlInterface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    for (const auto &[name, role] : kControlRoles) {
        if (className == QLatin1String(name))
            return new TAccessibleControl(widget, role);
    }
    // A dialog, and a window of no other known kind (the main window), a frame; both leave
    // their decorative children out.
    if (className == QLatin1String("QDialog"))
        return new TAccessibleControl(widget, QAccessible::Dialog);
    if (className == QLatin1String("QWidget") && widget->isWindow())
        return new TAccessibleControl(widget, QAccessible::Window);
    return nullptr;
}

// Qt's own controls read their accessible name and description: a label, a check box or a
// radio button is named by its text and described by the hint, a slider or a field named by
// the hint. The program's own controls read their hint when asked; a field's text, which takes
// the focus for it and is what a reader announces, is named by the field's hint.
void ApplyName(QWidget *widget)
{
    const QString hint = HintText(widget);
    if (QWidget *proxy = widget->focusProxy())
        proxy->setAccessibleName(hint);
    if (IsOwnControl(widget))
        return;
    auto *label = qobject_cast<QLabel *>(widget);
    if (qobject_cast<QAbstractButton *>(widget) ||
        (label && !label->movie() && label->pixmap().isNull()))
        widget->setAccessibleDescription(hint);
    else
        widget->setAccessibleName(hint);
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

void Notify(QWidget *widget, QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, type);
    QAccessible::updateAccessibility(&event);
}

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
    if (!QAccessible::isActive())
        return;
    ApplyName(widget);
    if (IsOwnControl(widget)) // its hint is its name or its description
        Notify(widget, ShownText(widget).isEmpty() ? QAccessible::NameChanged
                                                   : QAccessible::DescriptionChanged);
}

void NotifyDescriptionChanged(QWidget *widget)
{
    Notify(widget, QAccessible::DescriptionChanged);
}

void NotifyStatusTextChanged(TStatusBar *bar, int panel)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(bar);
    if (!accessible)
        return;
    if (QAccessibleInterface *child = accessible->child(panel)) {
        QAccessibleEvent event(child, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    if (panel == 0)
        Notify(bar, QAccessible::NameChanged);
}

void SetAccessibleSelected(QWidget *widget, bool selected)
{
    const QVariant before = widget->property(kSelectedProperty);
    if (before.isValid() && before.toBool() == selected)
        return;
    widget->setProperty(kSelectedProperty, selected);
    // The selection event, which the bridges pass on as the control's new selected state.
    Notify(widget, QAccessible::Selection);
}

void HideFromAssistiveTechnologies(QWidget *widget)
{
    widget->setProperty(kHiddenProperty, true);
}

void SetControlShown(QWidget *control, bool shown)
{
    QList<QWidget *> widgets = control->findChildren<QWidget *>();
    widgets.prepend(control);
    for (QWidget *widget : std::as_const(widgets)) {
        const QVariant kept = widget->property(kFocusPolicyProperty);
        if (shown && kept.isValid()) {
            widget->setFocusPolicy(Qt::FocusPolicy(kept.toInt()));
            widget->setProperty(kFocusPolicyProperty, QVariant());
        } else if (!shown && widget->focusPolicy() != Qt::NoFocus) {
            widget->setProperty(kFocusPolicyProperty, int(widget->focusPolicy()));
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    control->setVisible(shown);
}

} // namespace jov
