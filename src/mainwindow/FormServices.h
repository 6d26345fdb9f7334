#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace jov {

// The platform pieces the main window calls that a test must not run for real: sounds and
// modal dialogs. Each defaults to the real thing; tests replace the ones they need.
struct FormServices
{
    // The default system sound.
    std::function<void()> beep;
    // The colour dialog: the chosen colour, or nothing when cancelled.
    std::function<std::optional<QColor>(QWidget *owner, const QColor &initial)> chooseColor;
    // A notice under the caption "Information" with one button "OK".
    std::function<void(QWidget *owner, const QString &text)> information;
    // A question under the caption "Confirmation" with "&Oui" and "&Non": true for Yes.
    std::function<bool(QWidget *owner, const QString &text)> confirm;
    // The palette open dialog in `folder`: the chosen path, or empty when cancelled.
    std::function<QString(QWidget *owner, const QString &folder)> openPaletteFile;
    // The palette save dialog in `folder` proposing `name`: the chosen path, or empty.
    std::function<QString(QWidget *owner, const QString &folder, const QString &name)>
        savePaletteFile;

    // Shows a modal dialog and returns its result (QDialog::exec).
    std::function<int(QDialog &dialog)> runDialog;
    // Hands a file or address to the desktop's default handler; the outcome is not examined.
    std::function<void(const QUrl &url)> openUrl;

    // The colour of one screen pixel at a point in screen coordinates; nothing when it cannot be
    // read (outside every screen, say).
    std::function<std::optional<QColor>(const QPoint &point)> samplePixel;
    // The mouse cursor's position on the screen.
    std::function<QPoint()> cursorPos;

    // The real implementations.
    static FormServices platform();
};

} // namespace jov
