// The main window's components: creation at their design places, tab order, and the
// connections from their events to the window's handlers.
#include "mainwindow/MainForm.h"

#include "BuiltInPictures.h"
#include "color/ColorText.h"
#include "controls/Accessible.h"
#include "controls/CheckButtons.h"
#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/Layout.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/QtColor.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "hook/HookMouse.h"
#include "mainwindow/CustomSlots.h"
#include "mainwindow/Pipette.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>

namespace jov {

namespace {

QImage Glyph(const char *name)
{
    return BuiltInPicture(QLatin1StringView(name));
}

} // namespace

void TMainForm::CreateComponents()
{
    const QColor navy(0, 0, 128);
    auto glyphButton = [](const char *name, QWidget *parent, const char *glyph, int left, int top,
                          const QString &hint, int width = 25) {
        auto *button = Place(new TColorButton(parent), left, top, width, 25);
        button->setObjectName(QLatin1String(name));
        button->setBevelSize(1);
        button->setButtonStyle(TButtonStyles::bsCenter);
        button->setPicture(Glyph(glyph));
        button->setFocusPolicy(Qt::NoFocus);
        SetHint(button, hint);
        return button;
    };

    BoxReglage = Place(new TGroupBox(tr(" Réglages "), this), 10, 5, 530, 225);
    BoxReglage->setCaptionColor(navy);

    BtnOptions = glyphButton("BtnOptions", BoxReglage, "options", 10, 20,
                             tr("| Options du programme (Ctrl E)"));
    BtnOpenPal = glyphButton("BtnOpenPal", BoxReglage, "openpal", 10, 50,
                             tr("| Charge une palette personnalisée (Ctrl O)"));
    BtnSavePal = glyphButton("BtnSavePal", BoxReglage, "savepal", 10, 80,
                             tr("| Sauvegarde la palette personnalisée (Ctrl S)"));

    PanelColor = Place(new TPanel(BoxReglage), 44, 20, 387, 55);
    PanelColor->setColor(QColor(128, 128, 128));
    SetHint(PanelColor, tr("| Zone d'exemple"));
    // Assistive technologies read the sample and each slot as its HTML text.
    PanelColor->setColorDescription([](const QColor &c) { return HtmlText(c); });

    PanelPerso = Place(new TPanel(BoxReglage), 44, 80, 387, 25);
    // Alt and the arrows move the mark, Alt+Enter applies the marked slot (SlotKeyDown).
    const QString slotHint = tr("| Couleurs personnalisées (Alt ← →, Alt Entrée)");
    SetHint(PanelPerso, slotHint);
    QFont slotFont(QStringLiteral("MS Sans Serif"));
    slotFont.setPixelSize(11);
    slotFont.setBold(true);
    for (int n = 1; n <= SlotCount; ++n) {
        auto *slot = Place(new TColorButton(PanelPerso), 2 + 24 * (n - 1), 2, 23, 22);
        // Slots 14 and 16 carry each other's names; the position is what counts.
        const int nameNumber = n == 14 ? 16 : n == 16 ? 14 : n;
        slot->setObjectName(QStringLiteral("BtnCol%1").arg(nameNumber));
        slot->setProperty("Tag", n);
        slot->setBevelSize(1);
        slot->setButtonStyle(TButtonStyles::bsCenter);
        slot->setColorRef(clWhite);
        slot->setFont(slotFont);
        slot->setFocusPolicy(Qt::NoFocus);
        // Named by its place: a cleared slot is white like any other white one.
        slot->setAccessibleName(tr("Couleur personnalisée %1").arg(n));
        SetHint(slot, slotHint);
        slot->setColorDescription([](const QColor &c) { return HtmlText(c); });
        Slots[size_t(n - 1)] = slot;
    }

    BtnColors = glyphButton("BtnColors", BoxReglage, "colors", 440, 20,
                            tr("| Affiche la palette de couleurs (Ctrl P)"));
    PanelPipette = Place(new TPanel(BoxReglage), 465, 20, 25, 25);
    PanelPipette->setAccessibleName(tr("Pipette"));
    ImgPipette = new TImage(PanelPipette);
    ImgPipette->move(6, 6);
    ImgPipette->setPicture(Glyph("pipette"));
    SetHint(ImgPipette, tr("| Active la pipette (Ctrl I, molette : carré)"));
    BtnAide = glyphButton("BtnAide", BoxReglage, "aide", 495, 20,
                          tr("| Affiche l'aide du programme (Ctrl A)"));
    BtnColler = glyphButton("BtnColler", BoxReglage, "coller", 440, 50,
                            tr("| Importe la couleur Presse-papiers (Ctrl V)"));
    BtnNetscape = glyphButton("BtnNetscape", BoxReglage, "netscape", 465, 50,
                              tr("| Approche avec valeurs Netscape (Ctrl N)"));
    BtnTop = glyphButton("BtnTop", BoxReglage, "top0", 495, 50, QString());
    BtnPlus = glyphButton("BtnPlus", BoxReglage, "plus", 440, 80,
                          tr("| Ajoute aux couleurs personnalisées (Alt +)"));
    BtnMoins = glyphButton("BtnMoins", BoxReglage, "moins", 465, 80,
                           tr("| Retire des couleurs personnalisées (Alt -)"));
    BtnMin = glyphButton("BtnMin", BoxReglage, "min0", 495, 80, QString());

    struct Row
    {
        const char *name;
        QColor key;
        const char *hint;
    };
    const Row rows[3] = {
        {"Rouge", QColor(255, 0, 0), QT_TR_NOOP("| Règle le rouge")},
        {"Vert", QColor(0, 255, 0), QT_TR_NOOP("| Règle le vert")},
        {"Bleu", QColor(0, 0, 255), QT_TR_NOOP("| Règle le bleu")},
    };
    TShape **shapes[3] = {&ShapeRouge, &ShapeVert, &ShapeBleu};
    TTrackBar95 **tracks[3] = {&TrackRouge, &TrackVert, &TrackBleu};
    TNumberField **spins[3] = {&SpinRouge, &SpinVert, &SpinBleu};
    for (int i = 0; i < 3; ++i) {
        const int top = 120 + 35 * i;
        const QString hint = tr(rows[i].hint);
        auto *shape = Place(new TShape(rows[i].key, BoxReglage), 10, top, 10, 26);
        shape->setObjectName(QStringLiteral("Shape%1").arg(QLatin1String(rows[i].name)));
        HideFromAssistiveTechnologies(shape); // the slider beside it says which channel it is
        *shapes[i] = shape;

        auto *track = Place(new TTrackBar95(BoxReglage), 25, top, 425, 26);
        track->setObjectName(QStringLiteral("Track%1").arg(QLatin1String(rows[i].name)));
        track->setRange(0, 255);
        track->setPageStep(51);
        track->setTickInterval(51);
        track->setFixedLength(false);
        track->setSelEnabled(false);
        track->setThumbSize(20);
        SetHint(track, hint);
        *tracks[i] = track;

        auto *spin = Place(new TNumberField(BoxReglage), 455, top, 64, 26);
        spin->setObjectName(QStringLiteral("Spin%1").arg(QLatin1String(rows[i].name)));
        spin->setRange(0, 255);
        spin->setMaxLength(3);
        spin->setValue(0);
        SetHint(spin, hint);
        *spins[i] = spin;
    }

    BoxCopie = Place(new TGroupBox(tr(" Exportation "), this), 10, 240, 530, 56);
    BoxCopie->setCaptionColor(navy);
    BtnCopie = glyphButton("BtnCopie", BoxCopie, "copie", 10, 21,
                           tr("| Copie la couleur selon le format (Ctrl C)"), 70);
    CheckValeur = Place(new TCheckBox(tr("Copie valeur seule"), BoxCopie), 87, 24, 130, 17);
    CheckValeur->setFocusPolicy(Qt::ClickFocus);
    {
        QPalette maroon = CheckValeur->palette();
        maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
        CheckValeur->setPalette(maroon);
    }
    SetHint(CheckValeur, tr("| Extrait la valeur seule (code) (Ctrl L)"));
    Bevel1 = Place(new QFrame(BoxCopie), 226, 7, 2, 45);
    Bevel1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    HideFromAssistiveTechnologies(Bevel1);
    Label1 = new QLabel(tr("Format de copie :"), BoxCopie);
    Label1->move(238, 25);
    Label1->adjustSize();
    RadioHexa = Place(new TRadioButton(QStringLiteral("HEXA"), BoxCopie), 348, 25, 55, 17);
    RadioHtml = Place(new TRadioButton(QStringLiteral("HTML"), BoxCopie), 413, 25, 55, 17);
    RadioRgb = Place(new TRadioButton(QStringLiteral("RGB"), BoxCopie), 473, 25, 55, 17);
    SetHint(RadioHexa, tr("| Sélectionne le format HEXA"));
    SetHint(RadioHtml, tr("| Sélectionne le format HTML"));
    SetHint(RadioRgb, tr("| Sélectionne le format RGB"));
    RadioHtml->setChecked(true);
    // Tab stops at the checked radio button only, as in a native radio group.
    for (QRadioButton *radio : {RadioHexa, RadioHtml, RadioRgb}) {
        connect(radio, &QRadioButton::toggled, this, [radio](bool checked) {
            radio->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
        radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }

    StatusBar = new TStatusBar(this);
    StatusBar->setGeometry(0, height() - 19, width(), 19);
    StatusBar->addPanel(235, Qt::AlignLeft);
    StatusBar->addPanel(100, Qt::AlignHCenter);
    StatusBar->addPanel(100, Qt::AlignHCenter);
    StatusBar->addPanel(100, Qt::AlignHCenter);

    ImgList = {Glyph("top0"), Glyph("top1"), Glyph("min0"), Glyph("min1")};

    m_slots = new TCustomSlots(Slots, m_services, m_options, this);
    m_pipette = new TPipette(m_services, PanelPipette, this);

    const std::pair<QWidget *, const char *> names[] = {
        {BoxReglage, "BoxReglage"},     {PanelColor, "PanelColor"}, {PanelPerso, "PanelPerso"},
        {PanelPipette, "PanelPipette"}, {ImgPipette, "ImgPipette"}, {BoxCopie, "BoxCopie"},
        {CheckValeur, "CheckValeur"},   {Bevel1, "Bevel1"},         {Label1, "Label1"},
        {RadioHexa, "RadioHexa"},       {RadioHtml, "RadioHtml"},   {RadioRgb, "RadioRgb"},
        {StatusBar, "StatusBar"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));
}

void TMainForm::SetTabOrder()
{
    const QList<QWidget *> order = {TrackRouge, TrackVert, TrackBleu, SpinRouge,
                                    SpinVert,   SpinBleu,  BtnCopie,  CheckValeur,
                                    RadioHexa,  RadioHtml, RadioRgb};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TMainForm::ConnectHandlers()
{
    const std::pair<TTrackBar95 *, TNumberField *> rows[] = {
        {TrackRouge, SpinRouge}, {TrackVert, SpinVert}, {TrackBleu, SpinBleu}};
    for (const auto &row : rows) {
        TTrackBar95 *track = row.first;
        TNumberField *field = row.second;
        connect(track, &QSlider::valueChanged, this, [=, this] { TrackChange(track, field); });
        connect(field, &TNumberField::changed, this, [=, this] { SpinChange(field, track); });
        field->setBeepHook(m_services.beep);
    }
    connect(BtnColors, &TColorButton::clicked, this, &TMainForm::SpeedColorsClick);
    connect(PanelColor, &TPanel::doubleClicked, this, &TMainForm::SpeedColorsClick);
    connect(BtnNetscape, &TColorButton::clicked, this, &TMainForm::SpeedNetscapeClick);
    connect(BtnCopie, &TColorButton::clicked, this, &TMainForm::SpeedCopieClick);
    connect(BtnColler, &TColorButton::clicked, this, &TMainForm::SpeedCollerClick);
    connect(BtnMin, &TColorButton::clicked, this, &TMainForm::BtnMinClick);
    connect(BtnPlus, &TColorButton::clicked, this, &TMainForm::BtnPlusClick);
    connect(BtnMoins, &TColorButton::clicked, this, &TMainForm::BtnMoinsClick);
    connect(BtnSavePal, &TColorButton::clicked, this, &TMainForm::BtnSavePalClick);
    connect(BtnOpenPal, &TColorButton::clicked, this, &TMainForm::BtnOpenPalClick);
    for (int i = 0; i < SlotCount; ++i) {
        connect(Slots[size_t(i)], &TColorButton::clicked, this, [this, i] { BtnCol1Click(i); });
        connect(Slots[size_t(i)], &TColorButton::doubleClicked, this,
                [this, i] { BtnCol1DblClick(i); });
    }
    connect(m_slots, &TCustomSlots::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_slots, &TCustomSlots::modifiedChanged, this, &QWidget::setWindowModified);
    connect(m_slots, &TCustomSlots::applyColor, this, &TMainForm::ApplySlotColor);
    connect(m_slots, &TCustomSlots::statusMessage, this,
            [this](const QString &text) { StatusBar->setPanelText(0, text); });
    connect(BtnTop, &TColorButton::clicked, this, &TMainForm::BtnTopClick);
    connect(BtnOptions, &TColorButton::clicked, this, &TMainForm::BtnOptionsClick);
    connect(ImgPipette, &TImage::mousePressed, this, &TMainForm::ImgPipetteMouseDown);
    THookMouse *hook = m_pipette->hook();
    hook->ShowMessage = m_services.notice;
    hook->OnMouseDown = [this](THookMouse *, TMouseButton, TShiftState shift, qint32 x, qint32 y,
                               quint32, quint32, quint32) { HookMouseDown(shift, x, y); };
    hook->OnMouseUp = [this](THookMouse *, TMouseButton, TShiftState, qint32 x, qint32 y, quint32,
                             quint32, quint32) { HookMouseUp(x, y); };
    connect(m_pipette, &TPipette::started, this, &TMainForm::ShowPipetteMode);
    connect(m_pipette, &TPipette::sampled, PanelColor, &TPanel::setColor);
    connect(m_pipette, &TPipette::ended, this, &TMainForm::EndPipetteMode);
    connect(m_pipette, &TPipette::sampleSideChanged, this, [this](int side) {
        m_options.sampleSide = side;
        StatusBar->setPanelText(0, PipetteStatusText(side));
    });
    connect(m_pipette, &TPipette::status, this,
            [this](const QString &text) { StatusBar->setPanelText(0, text); });
    connect(m_pipette, &TPipette::unavailable, this, [this](const QString &status) {
        StatusBar->setPanelText(0, status);
        // The pointer is usually still on the pipette image, whose hint comes back with it: that
        // hint must not replace the message at once. Hints show again once the pointer is over
        // another control.
        THintMonitor::instance()->setHandler([this] {
            if (THintMonitor::instance()->hint() == LongHintAt(ImgPipette))
                return;
            THintMonitor::instance()->setHandler([this] { ShowHintText(); });
            ShowHintText();
        });
    });
    connect(BtnAide, &TColorButton::clicked, this, &TMainForm::BtnAideClick);
}

} // namespace jov
