#pragma once

#include "color/SlotOps.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QWidget;

namespace jov {

struct FormServices;
struct TOptionsRecord;
class TColorButton;

/// The sixteen custom slots and the palette they form: the slots' colours, the marked slot,
/// the selection flag, the slot being dragged, the palette's name and modified flag, and the
/// palette file commands. The colours and the mark are kept here and pushed into the buttons;
/// the window title and the modified flag are reported by signals. The window creates the
/// buttons and forwards its handlers here; the options (folders, prompts, slot rules) are the
/// window's record.
class TCustomSlots : public QObject
{
    Q_OBJECT

public:
    using Buttons = std::array<TColorButton *, SlotCount>;

    // `owner` is the main window: the dialogs' parent and the holder of the mouse while a slot
    // is dragged. The buttons take the slots' colours (all white) at once.
    TCustomSlots(const Buttons &buttons, FormServices &services, TOptionsRecord &options,
                 QWidget *owner);

    const SlotColors &colors() const { return m_colors; }
    void setColors(const SlotColors &colors);

    // The slot carrying the mark "*" (0 for slot 1), -1 when none does.
    int markedSlot() const { return m_marked; }
    // The slot being dragged, -1 when no drag is under way.
    int draggedSlot() const { return m_dragSource; }

    // A click on a slot: with Ctrl it picks the slot up, else it moves the mark there (and
    // applies it when the options say so).
    void click(int index, bool ctrl);
    // The slot's colour becomes the current colour.
    void apply(int index);
    // The mark moved `step` slots, as a click there would (no wrap at the ends); with no slot
    // marked, the first slot (or with a negative step the last) is marked.
    void moveMark(int step);
    // The marked slot's colour becomes the current colour; with none, the same message as "+".
    void applyMarked();
    // "+": the current colour into the marked slot; with Ctrl the automatic gradient from it.
    void add(bool ctrl, ColorRef current);
    // "-": the marked slot cleared; with Ctrl every slot (from the marked one) cleared.
    void remove(bool ctrl);
    // Drops the dragged colour on `target`: the two slots swap.
    void drop(int target, int source);

    // The palette's name (a file name without folder), and whether it changed since it was
    // named, saved or loaded.
    QString paletteName() const { return m_paletteName; }
    bool paletteModified() const { return m_modified; }
    void setPaletteName(const QString &name);
    void markPaletteModified();
    void resetPaletteName(bool modified);
    // May offer to save a modified palette; true lets the caller go on.
    bool querySavePalette();
    void savePalette();
    void openPalette();
    // Reads the whole file first, a JASC-PAL or (by its extension) a GIMP palette: a faulty one
    // changes no slot.
    void loadPaletteFile(const QString &path);

Q_SIGNALS:
    // A slot's colour is to become the current colour.
    void applyColor(ColorRef color);
    // A short message for the status line (leading blank included).
    void statusMessage(const QString &text);
    // The window title built from the palette's name and modified flag, whenever either changes.
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void askForSelection();
    void setMarkedColor(ColorRef color);
    void setModified(bool modified);
    // Pushes slot `index`'s colour and mark into its button.
    void showSlot(int index);
    void fillAll(const QString &question, bool fromSelected, bool untitledModified,
                 const std::function<SlotColors(const SlotFlags &fill)> &fill);
    void startDrag(int index);
    void endDrag(const QPoint &globalPos, bool dropped);
    int slotAt(const QPoint &globalPos) const;

    Buttons m_buttons;
    SlotColors m_colors;
    FormServices &m_services;
    TOptionsRecord &m_options;
    QWidget *m_owner;
    int m_marked = -1;
    bool m_selectionMade = false;
    int m_dragSource = -1;
    QString m_paletteName;
    bool m_modified = false;
};

} // namespace jov
