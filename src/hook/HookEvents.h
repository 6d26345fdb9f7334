#pragma once

#include "hook/HookWire.h"

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
using hookwire::LButtonDblClk;
using hookwire::LButtonDown;
using hookwire::LButtonUp;
using hookwire::MButtonDown;
using hookwire::MButtonUp;
using hookwire::MouseMove;
using hookwire::MouseWheel;
using hookwire::RButtonDown;
using hookwire::RButtonUp;
using hookwire::XButtonDown;
using hookwire::XButtonUp;
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
