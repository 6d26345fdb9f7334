#pragma once

// The main window's components for the widget tests, found by their object names: the window
// keeps them private.

#include "controls/ColorButton.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/TrackBar95.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

namespace jov::test {

struct FormParts
{
    explicit FormParts(const QWidget &form) : form(form) {}

    const QWidget &form;
    template <class T> T *find(const char *name) const
    {
        T *part = form.findChild<T *>(QLatin1String(name));
        if (!part)
            qFatal("the window has no component %s", name);
        return part;
    }

    TGroupBox *const BoxReglage = find<TGroupBox>("BoxReglage");
    TGroupBox *const BoxCopie = find<TGroupBox>("BoxCopie");
    TPanel *const PanelColor = find<TPanel>("PanelColor");
    TPanel *const PanelPerso = find<TPanel>("PanelPerso");
    TPanel *const PanelPipette = find<TPanel>("PanelPipette");
    TImage *const ImgPipette = find<TImage>("ImgPipette");
    TColorButton *const BtnOptions = find<TColorButton>("BtnOptions");
    TColorButton *const BtnOpenPal = find<TColorButton>("BtnOpenPal");
    TColorButton *const BtnSavePal = find<TColorButton>("BtnSavePal");
    TColorButton *const BtnColors = find<TColorButton>("BtnColors");
    TColorButton *const BtnAide = find<TColorButton>("BtnAide");
    TColorButton *const BtnColler = find<TColorButton>("BtnColler");
    TColorButton *const BtnNetscape = find<TColorButton>("BtnNetscape");
    TColorButton *const BtnTop = find<TColorButton>("BtnTop");
    TColorButton *const BtnPlus = find<TColorButton>("BtnPlus");
    TColorButton *const BtnMoins = find<TColorButton>("BtnMoins");
    TColorButton *const BtnMin = find<TColorButton>("BtnMin");
    TColorButton *const BtnCopie = find<TColorButton>("BtnCopie");
    TTrackBar95 *const TrackRouge = find<TTrackBar95>("TrackRouge");
    TTrackBar95 *const TrackVert = find<TTrackBar95>("TrackVert");
    TTrackBar95 *const TrackBleu = find<TTrackBar95>("TrackBleu");
    TNumberField *const SpinRouge = find<TNumberField>("SpinRouge");
    TNumberField *const SpinVert = find<TNumberField>("SpinVert");
    TNumberField *const SpinBleu = find<TNumberField>("SpinBleu");
    QCheckBox *const CheckValeur = find<QCheckBox>("CheckValeur");
    QRadioButton *const RadioHexa = find<QRadioButton>("RadioHexa");
    QRadioButton *const RadioHtml = find<QRadioButton>("RadioHtml");
    QRadioButton *const RadioRgb = find<QRadioButton>("RadioRgb");
};

inline FormParts Parts(const QWidget &form)
{
    return FormParts(form);
}

} // namespace jov::test
