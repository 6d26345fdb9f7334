// Whatever arrives on the hook's socket is handed to the record handler: any length, any bytes.
// Input: one control byte (bit 0: StopMessage; the rest picks the held buttons and keys), then
// the payload.
#include "hook/HookRecord.h"

#include <cstdint>
#include <cstdlib>

using namespace jov;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool stop = data[0] & 1;
    const TShiftState shift = ShiftFromX11Mask((data[0] & 0x0Eu) | ((data[0] & 0x70u) << 4));
    const QByteArrayView payload(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const std::optional<TMouseHookRecord> record = DecodeHookRecord(payload);
    if (record.has_value() != (payload.size() >= HookRecordSize))
        std::abort();
    if (record && EncodeHookRecord(*record) != payload.first(HookRecordSize))
        std::abort();

    int messages = 0;
    int specific = 0;
    int wheelDelta = 0;
    int wheelSide = 0;
    THookMouseEvents events;
    events.OnMouseMessage = [&](THookMouse *, qint32 msg, qint32 x, qint32 y, quint32, quint32,
                                quint32) {
        if (specific != 0 || msg != record->Msg || x != record->X || y != record->Y)
            std::abort();
        ++messages;
    };
    const auto button = [&](THookMouse *, TMouseButton, TShiftState s, qint32, qint32, quint32,
                            quint32, quint32) {
        if (s != shift || messages != 1)
            std::abort();
        ++specific;
    };
    events.OnMouseDown = button;
    events.OnMouseUp = button;
    events.OnMouseMove = [&](THookMouse *, TShiftState s, qint32, qint32, quint32, quint32,
                             quint32) {
        if (s != shift)
            std::abort();
        ++specific;
    };
    events.OnMouseWheel = [&](THookMouse *, TShiftState, int delta, QPoint, quint32) {
        wheelDelta = delta;
        ++specific;
    };
    events.OnMouseWheelUp = [&](THookMouse *, TShiftState, QPoint, quint32) { wheelSide = 1; };
    events.OnMouseWheelDown = [&](THookMouse *, TShiftState, QPoint, quint32) { wheelSide = -1; };

    const quint32 reply = HandleHookPayload(
        payload, nullptr, events, [shift] { return shift; }, [stop] { return stop; });
    if (!record) {
        if (reply != 0 || messages != 0 || specific != 0)
            std::abort();
        return 0;
    }
    if (reply != (stop ? 1u : 0u) || messages != 1 || specific > 1)
        std::abort();
    if (record->Msg == wm::MouseWheel) {
        if ((wheelDelta != WheelDelta && wheelDelta != -WheelDelta) ||
            wheelSide * WheelDelta != wheelDelta || wheelDelta != WheelDeltaOf(record->ExtraInfo))
            std::abort();
    } else if (wheelSide != 0) {
        std::abort();
    }
    return 0;
}
