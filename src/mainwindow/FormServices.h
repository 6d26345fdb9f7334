#pragma once

#include "color/CustomColors.h"
#include "controls/ScreenBlock.h"
#include "mainwindow/ClipboardReader.h"
#include "mainwindow/ScreenSampler.h"
#include "persistence/GimpPalette.h"

#include <QColor>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QObject;
class QWidget;

namespace jov {

class SettingsStore;

// Everything the main window reaches outside itself that a test must not run for real: the
// settings store, sounds, modal dialogs, the clipboard, the desktop, the screen and the pointer.
// platform() gives the real ones; a test starts from a quiet set (tests/support/QuietServices.h) in
// which every dialog, beep and address is recorded and nothing is shown.
struct FormServices
{
    // The per-user settings store, read at creation and written at close.
    std::shared_ptr<SettingsStore> store;
    // The settings file left by an older version; empty when there is none to look for.
    QString legacyIniPath;

    // The default system sound.
    std::function<void()> beep;
    // The colour dialog: the chosen colour, or nothing when cancelled. It starts with the given
    // custom colours (a missing one stays as the dialog last had it) and gives back all sixteen
    // as it leaves them, also when cancelled.
    std::function<std::optional<QColor>(QWidget *owner, const QColor &initial,
                                        OptionalCustomColors &custom)>
        chooseColor;
    // A notice under the caption "Information" with one button "OK".
    std::function<void(QWidget *owner, const QString &text)> information;
    // A notice captioned with the program's name, no icon, one button "OK", centred on the
    // screen (the mouse hook's messages).
    std::function<void(const QString &text)> notice;
    // A question under the caption "Confirmation" with "&Oui" and "&Non": true for Yes.
    std::function<bool(QWidget *owner, const QString &text)> confirm;
    // The palette open dialog in `folder` (JASC-PAL and GIMP palettes): the chosen path, or
    // empty when cancelled.
    std::function<QString(QWidget *owner, const QString &folder)> openPaletteFile;
    // The palette save dialog in `folder` proposing `name`: the chosen path and the format of
    // the chosen filter or typed extension; an empty path when cancelled.
    std::function<PaletteSaveTarget(QWidget *owner, const QString &folder, const QString &name)>
        savePaletteFile;

    // Puts plain text on the clipboard.
    std::function<void(const QString &text)> setClipboardText;
    // The clipboard's text, read without holding up the event loop (ReadClipboardText): `done`
    // is called once, at once or later, unless `context` is destroyed first.
    std::function<void(QObject *context, std::function<void(const ClipboardText &)> done)>
        readClipboardText;

    // Shows a modal dialog and returns its result (QDialog::exec).
    std::function<int(QDialog &dialog)> runDialog;
    // Hands a file or address to the desktop's default handler; false when nothing took it.
    std::function<bool(const QUrl &url)> openUrl;

    // Where the pointer is, in device pixels of the screen it is on.
    std::function<ScreenPoint()> pointer;
    // The colour of one screen pixel; nothing when it cannot be read (off every screen, say).
    std::function<std::optional<QColor>(const ScreenPoint &point)> samplePixel;
    // Moves the pointer to a point in device pixels.
    std::function<void(const ScreenPoint &point)> warpPointer;
    // Reads the loupe's block of pixels centred on a point with one request; false when it
    // cannot (no X11, or no part of the block on the screen).
    std::function<bool(const ScreenPoint &point, ScreenBlock &block)> readBlock;
    // Where the pointer is, asked in one round trip with the block around a guess of it, which
    // is read only when the guess was right. The question leaves at once and the answer is
    // waited for when the returned function is called (once; never, and it is dropped), which
    // gives the point, or nothing when it cannot tell (no X11). Optional: the pipette
    // otherwise asks `pointer` and reads afterwards.
    using PointerAnswer = std::function<std::optional<ScreenPoint>(ScreenBlock &block)>;
    std::function<PointerAnswer(const ScreenPoint &guess)> askPointerWithBlock;
    // Lets a pipette at rest wait for news instead of reading the screens at every tick; both
    // optional. Asked on an answer of askPointerWithBlock: false when something may have been
    // drawn on a screen since that question was sent, or when drawing cannot be told; else true,
    // and `drawn` is called once, from the event loop, at the next drawing, unless the next
    // question or stopWatchingDrawing comes first.
    std::function<bool(std::function<void()> drawn)> restUntilDrawn;
    std::function<void()> stopWatchingDrawing;
    // Why no pixel of the point's screen can be read (a visual whose colours cannot be told),
    // as a short status message; empty when they can.
    std::function<QString(const ScreenPoint &point)> unreadableScreen;
    // The pipette picks through the desktop's portal instead of the X11 hook and screen reads
    // (a Wayland session, where other programs' pixels can be read no other way).
    bool portalPicking = false;

    // The real implementations.
    static FormServices platform();
};

} // namespace jov
