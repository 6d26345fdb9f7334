#include "mainwindow/CustomSlots.h"

#include "controls/Accessible.h"
#include "controls/ColorButton.h"
#include "mainwindow/FormServices.h"
#include "persistence/GimpPalette.h"
#include "persistence/Options.h"
#include "persistence/PaletteFile.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace jov {

namespace {

const QString kMark = QStringLiteral("*");

} // namespace

TCustomSlots::TCustomSlots(const Buttons &buttons, FormServices &services, TOptionsRecord &options,
                           QWidget *owner)
    : QObject(owner), m_buttons(buttons), m_services(services), m_options(options), m_owner(owner),
      m_paletteName(UntitledPaletteName)
{
    m_colors.fill(clWhite);
    for (int i = 0; i < SlotCount; ++i)
        showSlot(i);
}

void TCustomSlots::showSlot(int index)
{
    TColorButton *button = m_buttons[std::size_t(index)];
    button->setColorRef(m_colors[std::size_t(index)]);
    button->setCaption(index == m_marked ? kMark : QString());
    SetAccessibleSelected(button, index == m_marked);
}

void TCustomSlots::setColors(const SlotColors &colors)
{
    m_colors = colors;
    for (int i = 0; i < SlotCount; ++i)
        showSlot(i);
}

void TCustomSlots::click(int index, bool ctrl)
{
    if (ctrl) {
        startDrag(index);
        return;
    }
    const int previous = std::exchange(m_marked, index);
    if (previous >= 0)
        showSlot(previous);
    showSlot(index);
    if (m_options.clickApplies)
        apply(index);
    m_selectionMade = true;
}

void TCustomSlots::apply(int index)
{
    Q_EMIT applyColor(m_colors[std::size_t(index)]);
}

void TCustomSlots::moveMark(int step)
{
    const int target = m_marked < 0 ? (step < 0 ? SlotCount - 1 : 0)
                                    : std::clamp(m_marked + step, 0, SlotCount - 1);
    if (target != m_marked)
        click(target, false);
}

void TCustomSlots::applyMarked()
{
    if (m_marked < 0) {
        askForSelection();
        return;
    }
    apply(m_marked);
}

void TCustomSlots::add(bool ctrl, ColorRef current)
{
    if (ctrl) {
        fillAll(QStringLiteral("\r\n") + tr("Voulez-vous créer un dégradé automatique ?"),
                m_options.gradientFromSelected, true, [this, current](const SlotFlags &fill) {
                    return GradientSlots(m_colors, fill, current, m_options.gradientDivisor);
                });
        return;
    }
    setMarkedColor(current);
}

void TCustomSlots::remove(bool ctrl)
{
    if (ctrl) {
        fillAll(QStringLiteral("\r\n") + tr("Voulez-vous supprimer les couleurs mémorisées ?"),
                m_options.clearFromSelected, false,
                [this](const SlotFlags &fill) { return ClearSlots(m_colors, fill); });
        return;
    }
    setMarkedColor(clWhite);
}

void TCustomSlots::askForSelection()
{
    m_services.information(m_owner,
                           QStringLiteral("\r\n") +
                               tr("Sélectionnez auparavant un des boutons personnalisés."));
}

void TCustomSlots::setMarkedColor(ColorRef color)
{
    if (!m_selectionMade) {
        askForSelection();
        return;
    }
    if (m_marked >= 0) {
        m_colors[std::size_t(m_marked)] = color;
        showSlot(m_marked);
    }
    markPaletteModified();
}

// Clear-all and the gradient: asked first; they start at the marked slot when the option says
// so and a slot was ever selected; an untitled palette is then marked modified or not.
void TCustomSlots::fillAll(const QString &question, bool fromSelected, bool untitledModified,
                           const std::function<SlotColors(const SlotFlags &fill)> &fill)
{
    if (!m_services.confirm(m_owner, question))
        return;
    setColors(fill(SlotsToFill(fromSelected, m_selectionMade, m_marked)));
    if (m_options.untitledOnCtrl)
        resetPaletteName(untitledModified);
    else
        markPaletteModified();
}

// A slot picked up with Ctrl+click is carried until the next mouse-button release: over a slot
// the two colours swap, anywhere else nothing happens. The window holds the mouse meanwhile, so
// the press and release of that click reach no control.
void TCustomSlots::startDrag(int index)
{
    m_dragSource = index;
    m_owner->installEventFilter(this);
    m_owner->grabMouse();
    m_owner->grabKeyboard();
    QGuiApplication::setOverrideCursor(QCursor(Qt::DragMoveCursor));
}

int TCustomSlots::slotAt(const QPoint &globalPos) const
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const TColorButton *slot = m_buttons[i];
        if (slot->isVisible() && slot->rect().contains(slot->mapFromGlobal(globalPos)))
            return int(i);
    }
    return -1;
}

void TCustomSlots::endDrag(const QPoint &globalPos, bool dropped)
{
    const int source = m_dragSource;
    m_dragSource = -1;
    m_owner->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
    m_owner->releaseMouse();
    m_owner->releaseKeyboard();
    const int target = dropped ? slotAt(globalPos) : -1;
    if (source >= 0 && target >= 0)
        drop(target, source);
}

bool TCustomSlots::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_owner || m_dragSource < 0)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::MouseButtonRelease:
        endDrag(static_cast<QMouseEvent *>(event)->globalPosition().toPoint(), true);
        return true;
    case QEvent::MouseMove:
        // Over a slot the colour can be dropped; elsewhere the release does nothing.
        QGuiApplication::changeOverrideCursor(
            slotAt(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()) >= 0
                ? Qt::DragMoveCursor
                : Qt::ForbiddenCursor);
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            endDrag(QPoint(), false);
            return true;
        }
        return false;
    case QEvent::WindowDeactivate:
        endDrag(QPoint(), false);
        return false;
    default:
        return false;
    }
}

void TCustomSlots::drop(int target, int source)
{
    std::swap(m_colors[std::size_t(target)], m_colors[std::size_t(source)]);
    showSlot(target);
    showSlot(source);
    markPaletteModified();
}

void TCustomSlots::setPaletteName(const QString &name)
{
    m_paletteName = name;
    setModified(false);
    Q_EMIT titleChanged(PaletteTitle(m_paletteName, false));
}

void TCustomSlots::markPaletteModified()
{
    if (m_modified)
        return;
    setModified(true);
    Q_EMIT titleChanged(PaletteTitle(m_paletteName, true));
}

void TCustomSlots::setModified(bool modified)
{
    if (std::exchange(m_modified, modified) != modified)
        Q_EMIT modifiedChanged(modified);
}

void TCustomSlots::resetPaletteName(bool modified)
{
    setPaletteName(UntitledPaletteName);
    if (modified)
        markPaletteModified();
}

bool TCustomSlots::querySavePalette()
{
    if (!m_options.askToSavePalette || !m_modified)
        return true;
    const QString question = QStringLiteral("\r\n") +
                             tr("La palette %1 a été modifiée.").arg(m_paletteName) +
                             QStringLiteral("\r\n") + tr("Voulez-vous la sauvegarder ?");
    if (!m_services.confirm(m_owner, question))
        return true;
    savePalette();
    return false;
}

void TCustomSlots::savePalette()
{
    const PaletteSaveTarget target =
        m_services.savePaletteFile(m_owner, m_options.saveFolder, m_paletteName);
    const QString &path = target.path;
    if (path.isEmpty())
        return;
    // The file is replaced whole or not at all; the palette is named after it only once it is
    // really written.
    const bool written = target.format == PaletteFormat::Gimp ? WriteGimpPaletteFile(path, colors())
                                                              : WritePaletteFile(path, colors());
    if (written)
        setPaletteName(BaseFileName(path));
    else
        m_services.beep();
    if (m_options.rememberFolders)
        m_options.saveFolder = FolderOfFile(path);
}

void TCustomSlots::openPalette()
{
    if (!querySavePalette())
        return;
    const QString path = m_services.openPaletteFile(m_owner, m_options.openFolder);
    if (path.isEmpty())
        return;
    loadPaletteFile(path);
    if (m_options.rememberFolders)
        m_options.openFolder = FolderOfFile(path);
}

void TCustomSlots::loadPaletteFile(const QString &path)
{
    if (PaletteFormatOfPath(path) == PaletteFormat::Gimp) {
        // A faulty GIMP palette beeps like a faulty colour line; it has no header messages.
        const GimpPaletteReadResult gimp = ReadGimpPaletteFile(path);
        if (!gimp.ok()) {
            m_services.beep();
            return;
        }
        setColors(gimp.colors);
        setPaletteName(BaseFileName(path));
        if (gimp.ignoredCount() > 0)
            Q_EMIT statusMessage(GimpIgnoredColorsMessage(gimp.ignoredCount()));
        return;
    }
    const PaletteReadResult result = ReadPaletteFile(path);
    if (result.ok()) {
        setColors(result.colors);
        setPaletteName(BaseFileName(path));
        return;
    }
    const QString message = PaletteErrorMessage(result.error);
    if (message.isEmpty())
        m_services.beep();
    else
        m_services.information(m_owner, message);
}

} // namespace jov
