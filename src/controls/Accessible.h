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

// Names a control after the long part of its hint, as the hint line shows it (a label keeps
// its text as its name and takes the hint as its description; a check box or radio button
// keeps its caption as its description). Done at once while accessibility is active, else for
// every control with a hint the moment it becomes active: nothing is spent on it while no
// assistive technology listens (start-up stays fast).
void NameAfterHint(QWidget *widget);

// Tells assistive technologies that a control's description (its colour) changed; nothing
// while none listens. The description itself is read from the control when asked for.
void NotifyDescriptionChanged(QWidget *widget);

} // namespace jov
