#pragma once

// What the program and its mouse hook library say to each other, shared by both sides (the
// library includes this without Qt).
//
// The program opens a SOCK_SEQPACKET socket pair and hands one end to the library's
// `unsigned char InitialisationHook(int receiver)`; non-zero means the hook runs. For every
// mouse message the library sends one record of RecordSize bytes and waits for a reply of
// ReplySize bytes (1 = stop the message, else 0) before it sends the next one.
// `void FinalisationHook()` stops it; nothing is sent after it returns. The library listens
// to the X display named in the environment variable DisplayVariable, or in DISPLAY when
// that is unset.

#include <array>
#include <cstddef>
#include <cstdint>

namespace jov::hookwire {

inline constexpr std::size_t RecordSize = 24;
inline constexpr std::size_t ReplySize = 4;
inline constexpr char DisplayVariable[] = "JOV_HOOK_DISPLAY";

// Mouse message numbers (the Windows WM_* values).
inline constexpr std::int32_t MouseMove = 0x200;
inline constexpr std::int32_t LButtonDown = 0x201;
inline constexpr std::int32_t LButtonUp = 0x202;
inline constexpr std::int32_t LButtonDblClk = 0x203;
inline constexpr std::int32_t RButtonDown = 0x204;
inline constexpr std::int32_t RButtonUp = 0x205;
inline constexpr std::int32_t MButtonDown = 0x207;
inline constexpr std::int32_t MButtonUp = 0x208;
inline constexpr std::int32_t MouseWheel = 0x20A;
inline constexpr std::int32_t XButtonDown = 0x20B;
inline constexpr std::int32_t XButtonUp = 0x20C;

// The hit-test code the X11 library always reports: the client area.
inline constexpr std::uint32_t HitClient = 1;
// ExtraInfo of a wheel notch away from and towards the user.
inline constexpr std::uint32_t WheelUpExtraInfo = 0;
inline constexpr std::uint32_t WheelDownExtraInfo = 0x80000000u;

// One record, little-endian, no padding, fields in this order.
struct Record
{
    std::int32_t msg = 0; // mouse message number
    std::int32_t x = 0;   // pointer position, device pixels on its screen's root
    std::int32_t y = 0;
    std::uint32_t handleWindow = 0; // top-level window under the pointer, 0 over the desktop
    std::uint32_t hitTestCode = 0;
    std::uint32_t extraInfo = 0;
};

inline std::array<unsigned char, RecordSize> Encode(const Record &record)
{
    std::array<unsigned char, RecordSize> bytes{};
    const std::uint32_t fields[] = {static_cast<std::uint32_t>(record.msg),
                                    static_cast<std::uint32_t>(record.x),
                                    static_cast<std::uint32_t>(record.y),
                                    record.handleWindow,
                                    record.hitTestCode,
                                    record.extraInfo};
    for (std::size_t f = 0; f < 6; ++f)
        for (std::size_t b = 0; b < 4; ++b)
            bytes[f * 4 + b] = static_cast<unsigned char>(fields[f] >> (8 * b));
    return bytes;
}

// `bytes` holds at least RecordSize bytes.
inline Record Decode(const unsigned char *bytes)
{
    std::uint32_t fields[6] = {};
    for (std::size_t f = 0; f < 6; ++f)
        for (std::size_t b = 0; b < 4; ++b)
            fields[f] |= std::uint32_t(bytes[f * 4 + b]) << (8 * b);
    return {static_cast<std::int32_t>(fields[0]),
            static_cast<std::int32_t>(fields[1]),
            static_cast<std::int32_t>(fields[2]),
            fields[3],
            fields[4],
            fields[5]};
}

} // namespace jov::hookwire
