#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QWidget;

namespace jov {

class TStatusBar;

// Makes the program's own controls known to assistive technologies (a screen reader reaches
// them through the platform's accessibility bridge): TColorButton is a push button whose press
// action clicks it, TASLink a link, TPanel a pane, TImage and TShape a graphic, TGroupBox a
// grouping named by its caption, TNumberField a spin box, TStatusBar a status bar whose panels
// are its children (each named by its text), a dialog a dialog and a top-level window of no
// other kind a frame.
// Installed once; every one of those controls calls it when it is created.
void InstallAccessibleControls();

// How a control's colour reads to assistive technologies; empty when it is not described.
using ColorDescriber = std::function<QString(const QColor &color)>;

// Names a control for assistive technologies from its hint, as the hint line shows it: a
// control that shows a text of its own (a label, a check box, a captioned button, a link) is
// named by that text and described by the hint; one that shows none (a glyph button, a field,
// a slider) is named by the hint. A name the program gave the control itself stays. Done at
// once while accessibility is active, else for every control with a hint the moment it
// becomes active: nothing is spent on it while no assistive technology listens (start-up
// stays fast).
void NameAfterHint(QWidget *widget);

// Tells assistive technologies that a control's description (its colour) changed; nothing
// while none listens. The description itself is read from the control when asked for.
void NotifyDescriptionChanged(QWidget *widget);

// Tells assistive technologies that a status bar panel's text changed (panel 0, the message
// line, is also the bar's name: a screen reader can speak a new message); nothing while none
// listens.
void NotifyStatusTextChanged(TStatusBar *bar, int panel);

// Shows a control as the selected one of its row, or not (the marked custom slot); nothing is
// sent while no assistive technology listens.
void SetAccessibleSelected(QWidget *widget, bool selected);

// Leaves a purely decorative control (a separator, a logo) out of what assistive technologies
// list; the program's own containers honour it.
void HideFromAssistiveTechnologies(QWidget *widget);

// Shows or hides a control. While hidden, the control and its children take no focus (their
// focus policies come back when it shows again): assistive technologies read a control with a
// focus policy as focusable, whether it shows or not.
void SetControlShown(QWidget *control, bool shown);

} // namespace jov
