#pragma once

#include <QCursor>

namespace jov {

// Numbered application cursors: 0 is the default cursor; others are registered at start-up.
// An unregistered number gives the arrow.
inline constexpr int DefaultCursorIndex = 0;
inline constexpr int PipetteCursorIndex = 1;
inline constexpr int HandCursorIndex = 5;

void SetScreenCursor(int index, const QCursor &cursor);
QCursor ScreenCursor(int index);
bool HasScreenCursor(int index);

// Registers the pipette's cursor as PipetteCursorIndex (the arrow when its picture cannot be
// loaded).
void RegisterPipetteCursor();

// The cursor shown over the whole application; 0 puts the default cursors back.
void SetApplicationCursor(int index);
int ApplicationCursor();

} // namespace jov
