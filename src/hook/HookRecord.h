#pragma once

#include "hook/HookEvents.h"
#include "hook/HookWire.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace jov {

/// What the hook library sends for every mouse message it observes: the message number and the
/// fields of the platform's mouse hook structure, 24 bytes, little-endian, no padding.
struct TMouseHookRecord
{
    qint32 Msg = 0; // mouse message number (wm::MouseMove, wm::LButtonDown, ...)
    qint32 X = 0;   // cursor position, screen coordinates
    qint32 Y = 0;
    quint32 HandleWindow = 0; // window the mouse message is meant for
    quint32 HitTestCode = 0;  // hit-test code of that position
    quint32 ExtraInfo = 0;    // extra information of the mouse message

    friend bool operator==(const TMouseHookRecord &, const TMouseHookRecord &) = default;
};

inline constexpr qsizetype HookRecordSize = qsizetype(hookwire::RecordSize);

// The record at the start of `payload`; nothing when the payload is shorter than a record.
// Bytes past the first 24 are ignored.
std::optional<TMouseHookRecord> DecodeHookRecord(QByteArrayView payload);

// The 24 bytes of `record`, as the library sends them.
QByteArray EncodeHookRecord(const TMouseHookRecord &record);

// The wheel direction read from a wheel record's ExtraInfo: +120 when 0x40018000 - extraInfo,
// in 32-bit wrap-around arithmetic read as signed, is above 0, else -120. So -120 exactly for
// 0x40018000 to 0xC0018000, both included.
int WheelDeltaOf(quint32 extraInfo);

// The shift state for an X11 key-and-button mask (as XQueryPointer reports it): Button1 ssLeft,
// Button2 ssMiddle, Button3 ssRight, Control ssCtrl, Mod1 ssAlt. The Shift key is left out.
TShiftState ShiftFromX11Mask(unsigned int mask);

// Handles one payload received from the hook library and returns the reply for it. In this
// order: copies the record; asks `shiftState` once, when an event of this message that takes
// the shift state has a handler (no display round trip for a move nobody follows); works out
// the wheel delta; raises OnMouseMessage, then the button, move or wheel events that the
// message number calls for; finally asks `stopMessage`, so that a handler may still change the
// reply (1 to stop, else 0).
// A payload shorter than a record raises nothing and is answered 0. Each handler is copied
// before it is called, so a handler may reassign its own event safely.
quint32 HandleHookPayload(QByteArrayView payload, THookMouse *sender,
                          const THookMouseEvents &events,
                          const std::function<TShiftState()> &shiftState,
                          const std::function<bool()> &stopMessage);

} // namespace jov
