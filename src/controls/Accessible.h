#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QWidget;

namespace jov {

// Makes the program's own controls known to assistive technologies (a screen reader reaches
// them through the platform's accessibility bridge): TColorButton is a push button whose press
// action clicks it, TASLink a link, TPanel a pane, TImage and TShape a graphic, TGroupBox a
// grouping named by its caption, TNumberField a spin box and TStatusBar a status bar. Names
// and descriptions are the widgets' own (SetHint names a control after its hint). Installed
// once; every one of those controls calls it when it is created.
void InstallAccessibleControls();

// How a control's colour reads to assistive technologies; empty when it is not described.
using ColorDescriber = std::function<QString(const QColor &color)>;

} // namespace jov
