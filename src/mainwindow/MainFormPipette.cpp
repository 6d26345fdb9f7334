// The window's side of the pipette: starting it from the image or the keyboard, the status
// line while it runs, and the picked colour into the channels.
#include "mainwindow/MainForm.h"

#include "color/ColorValue.h"
#include "controls/Hints.h"
#include "controls/Panel.h"
#include "controls/QtColor.h"
#include "controls/StatusBar.h"
#include "mainwindow/Pipette.h"

namespace jov {

void TMainForm::ImgPipetteMouseDown()
{
    m_pipette->setLoupeEnabled(m_options.showLoupe);
    m_pipette->setSampleSide(m_options.sampleSide);
    m_pipette->start(PanelColor->color());
}

// Ctrl+I: the pipette from the keyboard; a click picks (the button need not be held).
void TMainForm::PipetteKeyDown()
{
    if (m_pipette->active())
        return;
    m_pipette->setLoupeEnabled(m_options.showLoupe);
    m_pipette->setSampleSide(m_options.sampleSide);
    if (!m_pipette->startClick(PanelColor->color(), windowHandle())) {
        m_services.beep();
        StatusBar->setPanelText(0, tr(" Pipette indisponible : souris prise"));
    }
}

QString TMainForm::PipetteStatusText(int side)
{
    if (side > 1)
        return tr(" Pipette active : carré de %1 × %1").arg(side);
    return tr(" Pipette active : bougez la souris");
}

void TMainForm::ShowPipetteMode()
{
    THintMonitor::instance()->setHandler(nullptr);
    StatusBar->setPanelText(0, PipetteStatusText(m_pipette->sampleSide()));
    ImgPipette->hide();
    // The sample changes at every tick: the display shows it without a repaint of the window.
    if (!m_services.portalPicking)
        PanelColor->setColorPatched(true);
}

void TMainForm::TimerTimer()
{
    m_pipette->tick();
}

void TMainForm::HookMouseDown(TShiftState shift, int x, int y)
{
    if (shift.testFlag(TShiftStates::ssLeft))
        m_pipette->leftPress(QPoint(x, y));
}

void TMainForm::HookMouseUp(int x, int y)
{
    EndPipette(x, y);
}

void TMainForm::EndPipette(int x, int y)
{
    m_pipette->end(QPoint(x, y));
}

void TMainForm::EndPipetteMode(const QColor &picked)
{
    ImgPipette->show();
    PanelColor->setColorPatched(false);
    ColorToChannels(ToColorRef(picked));
    StatusBar->setPanelText(0, QString());
    THintMonitor::instance()->setHandler([this] { ShowHintText(); });
}

} // namespace jov
