#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace jov {

class SettingsStore;

// The subkey of the root key that holds the main window's placement.
inline const QString PlacementSection = QStringLiteral("Application");

// Value names of the placement record; all values are texts.
inline const QString PlacementFormVersion = QStringLiteral("FormVersion");
inline const QString PlacementFlags = QStringLiteral("Flags");
inline const QString PlacementShowCmd = QStringLiteral("ShowCmd");
inline const QString PlacementPixelsPerInch = QStringLiteral("PixelsPerInch");
inline const QString PlacementMinMaxPos = QStringLiteral("MinMaxPos");
inline const QString PlacementNormPos = QStringLiteral("NormPos");
inline const QString PlacementVisible = QStringLiteral("Visible");

// Show commands as the window placement reports them.
inline constexpr int SwHide = 0;
inline constexpr int SwShowNormal = 1;
inline constexpr int SwShowMinimized = 2;
inline constexpr int SwShowMaximized = 3;

// Edges of a rectangle in screen pixels; right and bottom lie just outside it, so the width
// is right - left.
struct PlacementRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PlacementRect &) const = default;
};

struct WindowPlacementRecord
{
    int flags = 0;
    int showCmd = SwShowNormal;
    QPoint minPosition;
    QPoint maxPosition;
    PlacementRect normalPosition;

    bool operator==(const WindowPlacementRecord &) const = default;
};

enum class PlacementShow { Normal, Minimized, Maximized };

struct PlacementReadResult
{
    // FormVersion was below 0: apply nothing at all.
    bool stopped = false;
    // Apply `placement` (flags, positions, normal rectangle and its showCmd) to the window.
    bool applyPlacement = false;
    WindowPlacementRecord placement;
    // The state the window takes afterwards; Minimized means: show it normal, then minimise.
    PlacementShow show = PlacementShow::Normal;
};

// "MinMaxPos(1024x768)": the name under which a position is kept for one screen size.
QString ScreenSpecificName(const QString &name, int screenWidth, int screenHeight);

// "%d,%d,%d,%d".
QString PositionText(int a, int b, int c, int d);

// The words of a position value, split at commas and blanks (runs of them count as one);
// a missing or malformed word takes its default, and there are as many results as defaults.
QList<int> ParsePositionWords(const QString &text, const QList<int> &defaults);

// The integer of a text value, or the default when it is not a signed decimal number.
int PlacementInteger(const QString &text, int defaultValue);

// 1, 5, 9 normal; 2, 6, 7 minimised; 3 maximised; anything else normal.
PlacementShow ShowFromShowCmd(int showCmd);

// Writes "FormVersion", "Flags", "ShowCmd", "PixelsPerInch", the screen-specific and then the
// plain "MinMaxPos", the screen-specific and then the plain "NormPos", and "Visible" ("1" when
// written while the window is being destroyed), in that order, as one batch, under key (the
// root key path + "\" + PlacementSection). Returns true when every value reached the store.
bool WritePlacement(SettingsStore &store, const QString &key,
                    const WindowPlacementRecord &placement, int pixelsPerInch, int screenWidth,
                    int screenHeight, bool destroying);

// What to do with the stored record, given the window's current placement and state. The
// position is applied only when a position value was found and it was written at the current
// pixels per inch. The window keeps its size: the normal rectangle becomes the stored left and
// top with the current width and height. While the window is not visible its show command
// is taken as SW_HIDE so that applying the placement does not show it.
PlacementReadResult ReadPlacement(SettingsStore &store, const QString &key,
                                  const WindowPlacementRecord &current, bool windowVisible,
                                  int pixelsPerInch, int screenWidth, int screenHeight);

// Where a window goes so that it can be reached: `topLeft` is the stored corner of its outer
// frame, `size` the frame's size (title bar included) and the title bar its top titleBarHeight
// rows (at least one, at most the frame). When the title bar lies wholly inside one of the
// available areas (the screens without their panels), topLeft is returned unchanged. Otherwise
// the window goes to the area it overlaps most, or, overlapping none, to the nearest one (the
// first of equals), moved the least distance that brings the whole frame onto that area; a frame
// larger than the area is aligned with the area's top-left corner. Without any area topLeft is
// returned unchanged. Any int values are safe: the arithmetic is done in 64 bits and the result
// lies inside an area whenever the window is moved.
QPoint FitOnScreens(QPoint topLeft, QSize size, int titleBarHeight,
                    const QList<QRect> &availableAreas);

} // namespace jov
