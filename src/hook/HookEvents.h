#pragma once

#include <QFlags>
#include <QPoint>
#include <QtGlobal>

#include <functional>

namespace jov {

class THookMouse;

// The mouse buttons the hook reports with their own down and up events.
enum class TMouseButton { mbLeft, mbRight };

// Keys and buttons held while a mouse message is handled. The hook fills only ssAlt, ssCtrl,
// ssLeft, ssRight and ssMiddle; the Shift key is never queried.
enum class TShiftStates : unsigned char {
    ssShift = 1 << 0,
    ssAlt = 1 << 1,
    ssCtrl = 1 << 2,
    ssLeft = 1 << 3,
    ssRight = 1 << 4,
    ssMiddle = 1 << 5,
    ssDouble = 1 << 6
};
using TShiftState = QFlags<TShiftStates>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// Mouse message numbers carried in a hook record (the Windows WM_* values).
namespace wm {
inline constexpr qint32 MouseMove = 0x200;     // WM_MOUSEMOVE
inline constexpr qint32 LButtonDown = 0x201;   // WM_LBUTTONDOWN
inline constexpr qint32 LButtonUp = 0x202;     // WM_LBUTTONUP
inline constexpr qint32 LButtonDblClk = 0x203; // WM_LBUTTONDBLCLK
inline constexpr qint32 RButtonDown = 0x204;   // WM_RBUTTONDOWN
inline constexpr qint32 RButtonUp = 0x205;     // WM_RBUTTONUP
inline constexpr qint32 MButtonDown = 0x207;   // WM_MBUTTONDOWN
inline constexpr qint32 MButtonUp = 0x208;     // WM_MBUTTONUP
inline constexpr qint32 MouseWheel = 0x20A;    // WM_MOUSEWHEEL
inline constexpr qint32 XButtonDown = 0x20B;   // WM_XBUTTONDOWN
inline constexpr qint32 XButtonUp = 0x20C;     // WM_XBUTTONUP
} // namespace wm

// One notch of the wheel; the hook reports every wheel record as exactly one notch.
inline constexpr int WheelDelta = 120;

// Handler types; `sender` is always the hook component that raises the event.
using TMouseHookEvent =
    std::function<void(THookMouse *sender, TMouseButton button, TShiftState shift, qint32 x,
                       qint32 y, quint32 handleWindow, quint32 hitTestCode, quint32 extraInfo)>;
using TMouseMoveHookEvent =
    std::function<void(THookMouse *sender, TShiftState shift, qint32 x, qint32 y,
                       quint32 handleWindow, quint32 hitTestCode, quint32 extraInfo)>;
using TMouseHookMessage =
    std::function<void(THookMouse *sender, qint32 msg, qint32 x, qint32 y, quint32 handleWindow,
                       quint32 hitTestCode, quint32 extraInfo)>;
using TMouseWheelHookEvent = std::function<void(
    THookMouse *sender, TShiftState shift, int wheelDelta, QPoint mousePos, quint32 handleWindow)>;
using TMouseWheelUpDownHookEvent = std::function<void(THookMouse *sender, TShiftState shift,
                                                      QPoint mousePos, quint32 handleWindow)>;

/// The seven events of the mouse hook component; each is raised only when assigned.
struct THookMouseEvents
{
    TMouseHookEvent OnMouseDown;                 // left or right button pressed
    TMouseHookEvent OnMouseUp;                   // left or right button released
    TMouseMoveHookEvent OnMouseMove;             // mouse moved
    TMouseHookMessage OnMouseMessage;            // every record, whatever its message
    TMouseWheelHookEvent OnMouseWheel;           // wheel turned
    TMouseWheelUpDownHookEvent OnMouseWheelDown; // wheel turned towards the user
    TMouseWheelUpDownHookEvent OnMouseWheelUp;   // wheel turned away from the user
};

} // namespace jov
