#pragma once

#include <QString>

#include <chrono>
#include <functional>

class QObject;

namespace jov {

// What a read of the clipboard's text gave.
struct ClipboardText
{
    enum class State {
        Text,     // the clipboard holds this text
        NoText,   // it holds nothing, or nothing as text (or more than a colour text ever is)
        NoAnswer, // its owner did not answer in time
    };
    State state = State::NoText;
    QString text;
};

// How long the clipboard's owner may take to hand over its text.
inline constexpr std::chrono::milliseconds ClipboardWaitLimit{2000};

// Reads the clipboard's text without holding up the event loop. On X11 the selection is asked
// for as text on a window of the program's own and the answer is taken from the event loop, in
// UTF-8 first, then in Latin-1; an owner that has not answered within `limit` gives NoAnswer.
// Elsewhere, and when the text is the program's own, it is at hand at once. `done` is called
// exactly once, at once or later from the event loop, unless `context` is destroyed first.
void ReadClipboardText(QObject *context, std::chrono::milliseconds limit,
                       std::function<void(const ClipboardText &)> done);

} // namespace jov
