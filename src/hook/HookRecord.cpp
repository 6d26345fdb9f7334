#include "hook/HookRecord.h"

namespace jov {

namespace {

// Key and button bits of the X11 core protocol's state mask.
constexpr unsigned int X11ControlMask = 1u << 2;
constexpr unsigned int X11Mod1Mask = 1u << 3;
constexpr unsigned int X11Button1Mask = 1u << 8;
constexpr unsigned int X11Button2Mask = 1u << 9;
constexpr unsigned int X11Button3Mask = 1u << 10;

} // namespace

std::optional<TMouseHookRecord> DecodeHookRecord(QByteArrayView payload)
{
    if (payload.size() < HookRecordSize)
        return std::nullopt;
    const hookwire::Record r =
        hookwire::Decode(reinterpret_cast<const unsigned char *>(payload.data()));
    return TMouseHookRecord{r.msg, r.x, r.y, r.handleWindow, r.hitTestCode, r.extraInfo};
}

QByteArray EncodeHookRecord(const TMouseHookRecord &record)
{
    const auto bytes = hookwire::Encode({record.Msg, record.X, record.Y, record.HandleWindow,
                                         record.HitTestCode, record.ExtraInfo});
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), HookRecordSize);
}

int WheelDeltaOf(quint32 extraInfo)
{
    // Unsigned subtraction wraps; the conversion to signed is modular since C++20.
    const auto difference = static_cast<qint32>(0x40018000u - extraInfo);
    return difference > 0 ? WheelDelta : -WheelDelta;
}

TShiftState ShiftFromX11Mask(unsigned int mask)
{
    TShiftState shift;
    if (mask & X11Button1Mask)
        shift |= TShiftStates::ssLeft;
    if (mask & X11Button3Mask)
        shift |= TShiftStates::ssRight;
    if (mask & X11Button2Mask)
        shift |= TShiftStates::ssMiddle;
    if (mask & X11ControlMask)
        shift |= TShiftStates::ssCtrl;
    if (mask & X11Mod1Mask)
        shift |= TShiftStates::ssAlt;
    return shift;
}

quint32 HandleHookPayload(QByteArrayView payload, THookMouse *sender,
                          const THookMouseEvents &events,
                          const std::function<TShiftState()> &shiftState,
                          const std::function<bool()> &stopMessage)
{
    if (payload.size() < HookRecordSize)
        return 0;
    const TMouseHookRecord r = *DecodeHookRecord(payload);
    // Asking for the state costs a round trip to the display server: only when a handler of
    // this message takes it (OnMouseMessage does not), before any handler runs.
    bool wanted = false;
    switch (r.Msg) {
    case wm::LButtonDown:
    case wm::RButtonDown:
        wanted = bool(events.OnMouseDown);
        break;
    case wm::LButtonUp:
    case wm::RButtonUp:
        wanted = bool(events.OnMouseUp);
        break;
    case wm::MouseMove:
        wanted = bool(events.OnMouseMove);
        break;
    case wm::MouseWheel:
        wanted = events.OnMouseWheel || events.OnMouseWheelDown || events.OnMouseWheelUp;
        break;
    default:
        break;
    }
    const TShiftState shift = wanted && shiftState ? shiftState() : TShiftState();
    const int wheelDelta = WheelDeltaOf(r.ExtraInfo);

    // Handlers are copied before the call: one that reassigns its own event would otherwise
    // destroy the function it is running in.
    if (const TMouseHookMessage handler = events.OnMouseMessage)
        handler(sender, r.Msg, r.X, r.Y, r.HandleWindow, r.HitTestCode, r.ExtraInfo);

    const auto button = [&](const TMouseHookEvent &event, TMouseButton which) {
        if (const TMouseHookEvent handler = event)
            handler(sender, which, shift, r.X, r.Y, r.HandleWindow, r.HitTestCode, r.ExtraInfo);
    };
    switch (r.Msg) {
    case wm::LButtonDown:
        button(events.OnMouseDown, TMouseButton::mbLeft);
        break;
    case wm::RButtonDown:
        button(events.OnMouseDown, TMouseButton::mbRight);
        break;
    case wm::LButtonUp:
        button(events.OnMouseUp, TMouseButton::mbLeft);
        break;
    case wm::RButtonUp:
        button(events.OnMouseUp, TMouseButton::mbRight);
        break;
    case wm::MouseMove:
        if (const TMouseMoveHookEvent handler = events.OnMouseMove)
            handler(sender, shift, r.X, r.Y, r.HandleWindow, r.HitTestCode, r.ExtraInfo);
        break;
    case wm::MouseWheel: {
        const QPoint mousePos(r.X, r.Y);
        if (const TMouseWheelHookEvent handler = events.OnMouseWheel)
            handler(sender, shift, wheelDelta, mousePos, r.HandleWindow);
        const TMouseWheelUpDownHookEvent &side =
            wheelDelta < 0 ? events.OnMouseWheelDown : events.OnMouseWheelUp;
        if (const TMouseWheelUpDownHookEvent handler = side)
            handler(sender, shift, mousePos, r.HandleWindow);
        break;
    }
    default:
        break;
    }
    return stopMessage && stopMessage() ? 1 : 0;
}

} // namespace jov
