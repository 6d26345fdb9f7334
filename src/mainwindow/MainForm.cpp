#include "mainwindow/MainForm.h"

#include "color/ColorText.h"
#include "color/CustomColors.h"
#include "controls/ColorButton.h"
#include "controls/Cursors.h"
#include "controls/Hints.h"
#include "controls/Layout.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "dialogs/About.h"
#include "dialogs/Options.h"
#include "hook/HookMouse.h"
#include "persistence/LegacyIni.h"
#include "persistence/PaletteFile.h"
#include "persistence/Placement.h"
#include "persistence/RegistryStore.h"
#include "persistence/Systeme.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace jov {

namespace {

QColor ToQColor(ColorRef color)
{
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QImage Glyph(const char *name)
{
    return QImage(QStringLiteral(":/%1.xpm").arg(QLatin1String(name)));
}

// Height of a title bar and borders for which the window heights are given.
constexpr int kDesignFrameHeight = 27;

} // namespace

TMainForm::TMainForm(QWidget *parent, FormServices services)
    : QWidget(parent), m_services(std::move(services)),
      m_store(std::make_unique<RegistryStore>(SettingsStorePath()))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("JOV"));
    // Fixed single border with the system menu and the minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    setFixedSize(550, 323);
    move(10, 10);

    CreateComponents();
    SetTabOrder();
    ConnectHandlers();
    FormCreate();
}

TMainForm::~TMainForm()
{
    THintMonitor::instance()->setHandler(nullptr);
}

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

    BoxReglage = Place(new TGroupBox(QStringLiteral(" Réglages "), this), 10, 5, 530, 225);
    BoxReglage->setCaptionColor(navy);

    BtnOptions = glyphButton("BtnOptions", BoxReglage, "options", 10, 20,
                             QStringLiteral("| Options du programme"));
    BtnOpenPal = glyphButton("BtnOpenPal", BoxReglage, "openpal", 10, 50,
                             QStringLiteral("| Charge une palette personnalisée (Ctrl O)"));
    BtnSavePal = glyphButton("BtnSavePal", BoxReglage, "savepal", 10, 80,
                             QStringLiteral("| Sauvegarde la palette personnalisée (Ctrl S)"));

    PanelColor = Place(new TPanel(BoxReglage), 44, 20, 387, 55);
    PanelColor->setColor(QColor(128, 128, 128));
    SetHint(PanelColor, QStringLiteral("| Zone d'exemple"));

    PanelPerso = Place(new TPanel(BoxReglage), 44, 80, 387, 25);
    SetHint(PanelPerso, QStringLiteral("| Couleurs personnalisées"));
    QFont slotFont(QStringLiteral("MS Sans Serif"));
    slotFont.setPixelSize(11);
    slotFont.setBold(true);
    for (int n = 1; n <= 16; ++n) {
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
        SetHint(slot, QStringLiteral("| Couleurs personnalisées"));
        Slots[size_t(n - 1)] = slot;
    }

    BtnColors = glyphButton("BtnColors", BoxReglage, "colors", 440, 20,
                            QStringLiteral("| Affiche la palette de couleurs (Ctrl P)"));
    PanelPipette = Place(new TPanel(BoxReglage), 465, 20, 25, 25);
    ImgPipette = new TImage(PanelPipette);
    ImgPipette->move(6, 6);
    ImgPipette->setPicture(Glyph("pipette"));
    SetHint(ImgPipette, QStringLiteral("| Active la pipette"));
    BtnAide = glyphButton("BtnAide", BoxReglage, "aide", 495, 20,
                          QStringLiteral("| Affiche l'aide du programme (Ctrl A)"));
    BtnColler = glyphButton("BtnColler", BoxReglage, "coller", 440, 50,
                            QStringLiteral("| Importe la couleur Presse-papiers (Ctrl V)"));
    BtnNetscape = glyphButton("BtnNetscape", BoxReglage, "netscape", 465, 50,
                              QStringLiteral("| Approche avec valeurs Netscape (Ctrl N)"));
    BtnTop = glyphButton("BtnTop", BoxReglage, "top0", 495, 50, QString());
    BtnPlus = glyphButton("BtnPlus", BoxReglage, "plus", 440, 80,
                          QStringLiteral("| Ajoute aux couleurs personnalisées"));
    BtnMoins = glyphButton("BtnMoins", BoxReglage, "moins", 465, 80,
                           QStringLiteral("| Retire des couleurs personnalisées"));
    BtnMin = glyphButton("BtnMin", BoxReglage, "min0", 495, 80, QString());

    struct Row
    {
        const char *name;
        QColor key;
        const char *hint;
    };
    const Row rows[3] = {
        {"Rouge", QColor(255, 0, 0), "| Règle le rouge"},
        {"Vert", QColor(0, 255, 0), "| Règle le vert"},
        {"Bleu", QColor(0, 0, 255), "| Règle le bleu"},
    };
    TShape **shapes[3] = {&ShapeRouge, &ShapeVert, &ShapeBleu};
    TTrackBar95 **tracks[3] = {&TrackRouge, &TrackVert, &TrackBleu};
    TNumberField **spins[3] = {&SpinRouge, &SpinVert, &SpinBleu};
    for (int i = 0; i < 3; ++i) {
        const int top = 120 + 35 * i;
        const QString hint = QString::fromUtf8(rows[i].hint);
        auto *shape = Place(new TShape(rows[i].key, BoxReglage), 10, top, 10, 26);
        shape->setObjectName(QStringLiteral("Shape%1").arg(QLatin1String(rows[i].name)));
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

    BoxCopie = Place(new TGroupBox(QStringLiteral(" Exportation "), this), 10, 240, 530, 56);
    BoxCopie->setCaptionColor(navy);
    BtnCopie = glyphButton("BtnCopie", BoxCopie, "copie", 10, 21,
                           QStringLiteral("| Copie la couleur selon le format (Ctrl C)"), 70);
    CheckValeur =
        Place(new QCheckBox(QStringLiteral("Copie valeur seule"), BoxCopie), 87, 24, 130, 17);
    CheckValeur->setFocusPolicy(Qt::ClickFocus);
    {
        QPalette maroon = CheckValeur->palette();
        maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
        CheckValeur->setPalette(maroon);
    }
    SetHint(CheckValeur, QStringLiteral("| Extrait la valeur seule (code)"));
    Bevel1 = Place(new QFrame(BoxCopie), 226, 7, 2, 45);
    Bevel1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    Label1 = new QLabel(QStringLiteral("Format de copie :"), BoxCopie);
    Label1->move(238, 25);
    Label1->adjustSize();
    RadioHexa = Place(new QRadioButton(QStringLiteral("HEXA"), BoxCopie), 348, 25, 55, 17);
    RadioHtml = Place(new QRadioButton(QStringLiteral("HTML"), BoxCopie), 413, 25, 55, 17);
    RadioRgb = Place(new QRadioButton(QStringLiteral("RGB"), BoxCopie), 473, 25, 55, 17);
    SetHint(RadioHexa, QStringLiteral("| Sélectionne le format HEXA"));
    SetHint(RadioHtml, QStringLiteral("| Sélectionne le format HTML"));
    SetHint(RadioRgb, QStringLiteral("| Sélectionne le format RGB"));
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

    Timer = new QTimer(this);
    Timer->setInterval(10);
    Hook = new THookMouse(this);
    Hook->setEnabled(false); // stored disabled: nothing is loaded until the pipette starts
    Hook->setStopMessage(false);
    Hook->Loaded();

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

int TMainForm::ScreenPpi() const
{
    const QScreen *s = screen();
    if (!s)
        return 96;
    return int(std::lround(s->logicalDotsPerInch() * s->devicePixelRatio()));
}

int TMainForm::ScaledSize(int designSize) const
{
    const QScreen *s = screen();
    const double ratio = s ? s->devicePixelRatio() : 1.0;
    return int(std::lround(ScaleToScreen(designSize, ScreenPpi()) / ratio));
}

void TMainForm::ShowHintText()
{
    const QString hint = THintMonitor::instance()->hint();
    if (StatusBar->simplePanel())
        StatusBar->setSimpleText(hint);
    else
        StatusBar->setPanelText(0, hint);
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
    for (int i = 0; i < 16; ++i) {
        connect(Slots[size_t(i)], &TColorButton::clicked, this, [this, i] { BtnCol1Click(i); });
        connect(Slots[size_t(i)], &TColorButton::doubleClicked, this,
                [this, i] { BtnCol1DblClick(i); });
    }
    connect(BtnTop, &TColorButton::clicked, this, &TMainForm::BtnTopClick);
    connect(BtnOptions, &TColorButton::clicked, this, &TMainForm::BtnOptionsClick);
    connect(ImgPipette, &TImage::mousePressed, this, &TMainForm::ImgPipetteMouseDown);
    connect(Timer, &QTimer::timeout, this, &TMainForm::TimerTimer);
    Hook->OnMouseDown = [this](THookMouse *, TMouseButton, TShiftState shift, qint32 x, qint32 y,
                               quint32, quint32, quint32) {
        if (shift.testFlag(TShiftStates::ssLeft) && PipetteActive && QPoint(x, y) != PipettePoint)
            PipettePoint = QPoint(x, y);
    };
    Hook->OnMouseUp = [this](THookMouse *, TMouseButton, TShiftState, qint32 x, qint32 y, quint32,
                             quint32, quint32) { EndPipette(x, y); };
    connect(BtnAide, &TColorButton::clicked, this, &TMainForm::BtnAideClick);
}

// A slider move writes its field; the field's notification then finds the slider already in
// place, which notifies nothing, so the round trip ends by itself.
void TMainForm::TrackChange(TTrackBar95 *track, TNumberField *field)
{
    field->setValue(track->value());
    UpdateColor();
}

void TMainForm::SpinChange(TNumberField *field, TTrackBar95 *track)
{
    track->setValue(field->value()); // the slider clamps to 0..255
    UpdateColor();
}

ColorRef TMainForm::CurrentColor() const
{
    return MakeColor(SpinRouge->value(), SpinVert->value(), SpinBleu->value());
}

void TMainForm::UpdateColor()
{
    const int red = SpinRouge->value();
    const int green = SpinVert->value();
    const int blue = SpinBleu->value();
    PanelColor->setColor(QColor(red & 0xFF, green & 0xFF, blue & 0xFF));
    StatusBar->setPanelText(1, HexaText(red, green, blue));
    StatusBar->setPanelText(2, HtmlText(red, green, blue));
    StatusBar->setPanelText(3, RgbText(red, green, blue));
}

void TMainForm::ColorToChannels(ColorRef color)
{
    SpinRouge->setValue(RedOf(color));
    SpinVert->setValue(GreenOf(color));
    SpinBleu->setValue(BlueOf(color));
}

void TMainForm::SpeedColorsClick()
{
    // The dialog keeps its custom colours in the application; ours are the persisted lines.
    const auto custom = ParseCustomColorLines(ColorDialogCustomColors);
    for (int i = 0; i < 16; ++i)
        if (custom[size_t(i)])
            QColorDialog::setCustomColor(i, ToQColor(*custom[size_t(i)]));
    const ColorRef current = CurrentColor();
    const std::optional<QColor> chosen = m_services.chooseColor(this, ToQColor(current));
    std::array<ColorRef, 16> kept{};
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColorDialog::customColor(i);
        kept[size_t(i)] = MakeColor(c.red(), c.green(), c.blue());
    }
    ColorDialogCustomColors = CustomColorLines(kept);
    if (!chosen || !chosen->isValid())
        return;
    const QColor rgb = chosen->toRgb();
    ColorToChannels(MakeColor(rgb.red(), rgb.green(), rgb.blue()));
}

void TMainForm::SpeedNetscapeClick()
{
    for (TNumberField *field : {SpinRouge, SpinVert, SpinBleu})
        field->setValue(WebSafeRound(field->value()));
}

void TMainForm::SpeedCopieClick()
{
    const CopyFormat format = RadioHexa->isChecked()   ? CopyFormat::Hexa
                              : RadioHtml->isChecked() ? CopyFormat::Html
                              : RadioRgb->isChecked()  ? CopyFormat::Rgb
                                                       : CopyFormat::None;
    // With no format selected there is nothing to copy, and saying so would be untrue.
    if (format == CopyFormat::None)
        return;
    QApplication::clipboard()->setText(CopyText(format, CheckValeur->isChecked(),
                                                StatusBar->panelText(1), StatusBar->panelText(2),
                                                StatusBar->panelText(3)));
    StatusBar->setPanelText(0, QStringLiteral(" Copie effectuée"));
}

void TMainForm::SpeedCollerClick()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    const PasteResult result = ReadColorText(data->text());
    TNumberField *const fields[3] = {SpinRouge, SpinVert, SpinBleu};
    for (int i = 0; i < result.count; ++i)
        fields[i]->setValue(result.values[size_t(i)]);
    if (result.outcome == PasteOutcome::ConversionError)
        m_services.beep();
    else if (result.outcome == PasteOutcome::Imported)
        StatusBar->setPanelText(0, QStringLiteral(" Importation effectuée"));
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The press of Ctrl itself may come without the modifier set, as X reports the state from
    // before the press.
    CtrlHeld = modifiers.testFlag(Qt::ControlModifier) || key == Qt::Key_Control;
    if (!CtrlHeld)
        return false;
    // The window's Ctrl shortcuts, by key.
    static const struct
    {
        int key;
        void (TMainForm::*command)();
    } shortcuts[] = {
        {Qt::Key_A, &TMainForm::BtnAideClick},       {Qt::Key_C, &TMainForm::SpeedCopieClick},
        {Qt::Key_N, &TMainForm::SpeedNetscapeClick}, {Qt::Key_O, &TMainForm::BtnOpenPalClick},
        {Qt::Key_P, &TMainForm::SpeedColorsClick},   {Qt::Key_R, &TMainForm::BtnMinClick},
        {Qt::Key_S, &TMainForm::BtnSavePalClick},    {Qt::Key_T, &TMainForm::BtnTopClick},
        {Qt::Key_V, &TMainForm::SpeedCollerClick},
    };
    for (const auto &shortcut : shortcuts) {
        if (shortcut.key == key) {
            (this->*shortcut.command)();
            return true;
        }
    }
    return false;
}

SlotColors TMainForm::SlotColorValues() const
{
    SlotColors colors{};
    for (size_t i = 0; i < 16; ++i)
        colors[i] = Slots[i]->colorRef();
    return colors;
}

void TMainForm::SetSlotColors(const SlotColors &colors)
{
    for (size_t i = 0; i < 16; ++i)
        Slots[i]->setColorRef(colors[i]);
}

int TMainForm::MarkedSlot() const
{
    for (int i = 0; i < 16; ++i)
        if (Slots[size_t(i)]->caption() == QLatin1String("*"))
            return i;
    return -1;
}

void TMainForm::BtnCol1Click(int index)
{
    if (CtrlHeld) {
        CtrlHeld = false;
        StartSlotDrag(index);
        return;
    }
    for (TColorButton *slot : Slots)
        slot->setCaption(QString());
    Slots[size_t(index)]->setCaption(QStringLiteral("*"));
    if (Options.clickApplies)
        ApplySlot(index);
    SelectionMade = true;
}

void TMainForm::BtnCol1DblClick(int index)
{
    ApplySlot(index);
}

void TMainForm::ApplySlot(int index)
{
    const ColorRef color = Slots[size_t(index)]->colorRef();
    PanelColor->setColor(ToQColor(color));
    ColorToChannels(color);
}

void TMainForm::ShowSlotMessage()
{
    m_services.information(
        this, QStringLiteral("\r\nSélectionnez auparavant un des boutons personnalisés."));
}

void TMainForm::BtnPlusClick()
{
    if (CtrlHeld) {
        // The automatic gradient of the current colour.
        if (m_services.confirm(this,
                               QStringLiteral("\r\nVoulez-vous créer un dégradé automatique ?"))) {
            SetSlotColors(GradientSlots(
                SlotColorValues(),
                SlotsToFill(Options.gradientFromSelected, SelectionMade, MarkedSlot()),
                CurrentColor(), Options.gradientDivisor));
            if (Options.untitledOnCtrl)
                ResetPaletteName(true);
            else
                MarkPaletteModified();
        }
        CtrlHeld = false;
        return;
    }
    if (!SelectionMade) {
        ShowSlotMessage();
        return;
    }
    if (const int marked = MarkedSlot(); marked >= 0)
        Slots[size_t(marked)]->setColorRef(CurrentColor());
    MarkPaletteModified();
}

void TMainForm::BtnMoinsClick()
{
    if (CtrlHeld) {
        if (m_services.confirm(
                this, QStringLiteral("\r\nVoulez-vous supprimer les couleurs mémorisées ?"))) {
            SetSlotColors(ClearSlots(SlotColorValues(), SlotsToFill(Options.clearFromSelected,
                                                                    SelectionMade, MarkedSlot())));
            if (Options.untitledOnCtrl)
                ResetPaletteName(false);
            else
                MarkPaletteModified();
        }
        CtrlHeld = false;
        return;
    }
    if (!SelectionMade) {
        ShowSlotMessage();
        return;
    }
    if (const int marked = MarkedSlot(); marked >= 0)
        Slots[size_t(marked)]->setColorRef(clWhite);
    MarkPaletteModified();
}

// A slot picked up with Ctrl+click is carried until the next mouse-button release: over a slot
// the two colours swap, anywhere else nothing happens. The window holds the mouse meanwhile, so
// the press and release of that click reach no control.
void TMainForm::StartSlotDrag(int index)
{
    m_dragSource = index;
    grabMouse();
    grabKeyboard();
    QGuiApplication::setOverrideCursor(QCursor(Qt::DragMoveCursor));
}

int TMainForm::SlotAt(const QPoint &globalPos) const
{
    for (int i = 0; i < 16; ++i) {
        const TColorButton *slot = Slots[size_t(i)];
        if (slot->isVisible() && slot->rect().contains(slot->mapFromGlobal(globalPos)))
            return i;
    }
    return -1;
}

void TMainForm::EndSlotDrag(const QPoint &globalPos, bool drop)
{
    const int source = m_dragSource;
    m_dragSource = -1;
    QGuiApplication::restoreOverrideCursor();
    releaseMouse();
    releaseKeyboard();
    const int target = drop ? SlotAt(globalPos) : -1;
    if (source >= 0 && target >= 0)
        BtnCol1DragDrop(target, source);
}

void TMainForm::BtnCol1DragDrop(int target, int source)
{
    TColorButton *to = Slots[size_t(target)];
    TColorButton *from = Slots[size_t(source)];
    const ColorRef kept = to->colorRef();
    to->setColorRef(from->colorRef());
    from->setColorRef(kept);
    MarkPaletteModified();
}

void TMainForm::SetPaletteName(const QString &name)
{
    m_paletteModified = false;
    Options.paletteName = name;
    setWindowTitle(PaletteTitle(name, false));
}

void TMainForm::MarkPaletteModified()
{
    if (m_paletteModified)
        return;
    m_paletteModified = true;
    setWindowTitle(windowTitle() + QStringLiteral(" *"));
}

void TMainForm::ResetPaletteName(bool modified)
{
    SetPaletteName(UntitledPaletteName);
    if (modified)
        MarkPaletteModified();
}

bool TMainForm::QuerySavePalette()
{
    if (!Options.askToSavePalette || !m_paletteModified)
        return true;
    if (!m_services.confirm(this,
                            QStringLiteral("\r\nLa palette ") + Options.paletteName +
                                QStringLiteral(" a été modifiée.\r\nVoulez-vous la sauvegarder ?")))
        return true;
    BtnSavePalClick();
    return false;
}

void TMainForm::BtnSavePalClick()
{
    const QString path = m_services.savePaletteFile(this, Options.saveFolder, Options.paletteName);
    if (path.isEmpty())
        return;
    // The file is replaced whole or not at all; the palette is named after it only once it is
    // really written.
    if (WritePaletteFile(path, SlotColorValues()))
        SetPaletteName(BaseFileName(path));
    else
        m_services.beep();
    if (Options.rememberFolders)
        Options.saveFolder = FolderOfFile(path);
}

void TMainForm::BtnOpenPalClick()
{
    if (!QuerySavePalette())
        return;
    const QString path = m_services.openPaletteFile(this, Options.openFolder);
    if (path.isEmpty())
        return;
    LoadPaletteFile(path);
    if (Options.rememberFolders)
        Options.openFolder = FolderOfFile(path);
}

void TMainForm::LoadPaletteFile(const QString &path)
{
    // The whole file is checked first: a faulty file changes no slot.
    const PaletteReadResult result = ReadPaletteFile(path);
    if (result.ok()) {
        SetSlotColors(result.colors);
        SetPaletteName(BaseFileName(path));
        return;
    }
    const QString message = PaletteErrorMessage(result.error);
    if (message.isEmpty())
        m_services.beep();
    else
        m_services.information(this, message);
}

void TMainForm::LoadSettings()
{
    SlotColors slotColors = SlotColorValues();
    const QString legacy = LegacyIniPath();
    if (QFileInfo::exists(legacy) &&
        m_store->RegReadString(RootKeyPath, LegacyImportedValue, QString()) !=
            LegacyIniSignature(legacy)) {
        const LegacyImportResult result =
            ImportLegacyIniFile(legacy, *m_store, Options, ColorDialogCustomColors, slotColors);
        if (result == LegacyImportResult::NotDeleted)
            m_store->RegWriteString(RootKeyPath, LegacyImportedValue, LegacyIniSignature(legacy));
        if (result != LegacyImportResult::Unreadable) {
            SetSlotColors(slotColors);
            return; // the placement is read when the window is first shown
        }
    }
    LoadSettingsFromStore(*m_store, Options, ColorDialogCustomColors, slotColors,
                          [this](const QString &path) { LoadPaletteFile(path); });
    if (!Options.reloadPalette)
        SetSlotColors(slotColors);
    RestorePlacement();
}

bool TMainForm::SaveSettings()
{
    return SaveSettingsToStore(*m_store, Options, ColorDialogCustomColors, SlotColorValues());
}

void TMainForm::FormClose()
{
    SetApplicationCursor(0);
    Options.red = SpinRouge->value();
    Options.green = SpinVert->value();
    Options.blue = SpinBleu->value();
    Options.valueOnly = CheckValeur->isChecked();
    Options.formatHexa = RadioHexa->isChecked();
    Options.formatHtml = RadioHtml->isChecked();
    Options.formatRgb = RadioRgb->isChecked();
    SaveSettings();
    if (Options.savePlacement)
        SavePlacement();
}

namespace {

QSize PrimaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() * screen->devicePixelRatio() : QSize();
}

} // namespace

// The placement is kept in screen pixels of the window's outer rectangle, title bar included,
// which is what moving the window positions.
WindowPlacementRecord TMainForm::CurrentPlacement() const
{
    WindowPlacementRecord placement;
    placement.showCmd = isMinimized() ? SwShowMinimized : SwShowNormal;
    const QRect frame = frameGeometry();
    placement.normalPosition = {frame.left(), frame.top(), frame.left() + frame.width(),
                                frame.top() + frame.height()};
    return placement;
}

bool TMainForm::SavePlacement()
{
    WindowPlacementRecord placement = CurrentPlacement();
    placement.minPosition = QPoint(-1, -1);
    placement.maxPosition = QPoint(-1, -1);
    const QSize screenSize = PrimaryScreenSize();
    return WritePlacement(*m_store, PlacementKeyPath, placement, ScreenPpi(), screenSize.width(),
                          screenSize.height(), false);
}

void TMainForm::RestorePlacement()
{
    const QSize screenSize = PrimaryScreenSize();
    const PlacementReadResult result =
        ReadPlacement(*m_store, PlacementKeyPath, CurrentPlacement(), isVisible(), ScreenPpi(),
                      screenSize.width(), screenSize.height());
    if (result.stopped)
        return;
    const QPoint topLeft(result.placement.normalPosition.left, result.placement.normalPosition.top);
    // A place on a screen that is gone (a monitor unplugged) would leave the window out of
    // reach: it then keeps the place it has.
    if (result.applyPlacement && QGuiApplication::screenAt(topLeft + QPoint(8, 8)))
        move(topLeft);
    // The window has a fixed size: a maximised record comes up normal.
    if (result.show == PlacementShow::Minimized && isVisible())
        QTimer::singleShot(0, this, [this] { showMinimized(); });
}

// Runs `show` with the window at full height, leaving compact mode for that time.
void TMainForm::WithFullWindow(const std::function<void()> &show)
{
    const bool compact = Options.compact;
    if (compact) {
        Options.compact = false;
        ApplyMinMode();
    }
    show();
    if (compact) {
        Options.compact = true;
        ApplyMinMode();
    }
}

void TMainForm::BtnOptionsClick()
{
    WithFullWindow([this] {
        TOptions dialog(Options, BoxReglage->mapToGlobal(QPoint(0, 0)), StatusBar, this);
        dialog.OnAbout = [this] { ShowAbout(); };
        if (m_services.runDialog(dialog) == QDialog::Accepted)
            dialog.ApplyTo(Options);
    });
}

void TMainForm::ShowAbout()
{
    WithFullWindow([this] {
        TAbout about(BoxReglage->mapToGlobal(QPoint(0, 0)), this);
        m_services.runDialog(about);
    });
}

void TMainForm::BtnAideClick()
{
    // A missing file or a desktop without a handler is not reported.
    m_services.openUrl(
        QUrl::fromLocalFile(HelpFilePath(UseWinHelp(QCoreApplication::arguments()))));
}

void TMainForm::ImgPipetteMouseDown()
{
    THintMonitor::instance()->setHandler(nullptr);
    StatusBar->setPanelText(0, QStringLiteral(" Pipette active : bougez la souris"));
    ImgPipette->hide();
    SetApplicationCursor(1);
    Timer->start();
    PipetteActive = true;
    Hook->setEnabled(true);
    // Without the hook no release would ever end the mode; nor when the button was already let
    // go before the hook started listening (a quick tap).
    const TShiftState held =
        Hook->started() && Hook->QueryShiftState ? Hook->QueryShiftState() : TShiftState();
    if (!Hook->started() ||
        !(held & (TShiftStates::ssLeft | TShiftStates::ssRight | TShiftStates::ssMiddle))) {
        // End it now, keeping the colour the user had rather than whatever the sample showed.
        PanelColor->setColor(ToQColor(CurrentColor()));
        const QPoint cursor = QCursor::pos();
        EndPipette(cursor.x(), cursor.y());
    }
}

void TMainForm::TimerTimer()
{
    const QPoint cursor = m_services.cursorPos();
    // The pipette's own panel, with the column just right of it and the row just below it.
    const QRect panel(PanelPipette->mapToGlobal(QPoint(0, 0)), PanelPipette->size() + QSize(1, 1));
    if (panel.contains(cursor))
        return;
    // A pixel that cannot be read leaves the sample as it was.
    if (const std::optional<QColor> pixel = m_services.samplePixel(cursor))
        PanelColor->setColor(pixel->toRgb());
}

void TMainForm::EndPipette(int x, int y)
{
    if (!PipetteActive)
        return;
    Hook->setEnabled(false); // inside the hook's own event the release waits for the reply
    PipetteActive = false;
    Timer->stop();
    PipettePoint = QPoint(x, y);
    SetApplicationCursor(0);
    // The hook reports screen pixels; the cursor is placed in the desktop's logical pixels.
    QCursor::setPos((QPointF(PipettePoint) / qApp->devicePixelRatio()).toPoint());
    ImgPipette->show();
    const QColor sampled = PanelColor->color().toRgb();
    SpinRouge->setValue(sampled.red());
    SpinVert->setValue(sampled.green());
    SpinBleu->setValue(sampled.blue());
    StatusBar->setPanelText(0, QString());
    THintMonitor::instance()->setHandler([this] { ShowHintText(); });
}

void TMainForm::BtnMinClick()
{
    Options.compact = !Options.compact;
    ApplyMinMode();
}

void TMainForm::ApplyMinMode()
{
    const bool compact = Options.compact;
    SetHint(BtnMin, compact ? QStringLiteral("| Agrandit la fenêtre du programme (Ctrl R)")
                            : QStringLiteral("| Réduit la fenêtre du programme (Ctrl R)"));
    BtnMin->setBevelStyle(compact ? TButtonBevel::bbLowered : TButtonBevel::bbRaised);
    BoxReglage->resize(BoxReglage->width(), ScaledSize(compact ? 115 : 225));
    // The heights are outer heights for a title bar and borders of 27 design pixels; the
    // client area keeps that proportion whatever the window manager draws around it.
    const int outer = compact ? 175 : 350;
    setFixedSize(width(), ScaledSize(outer) - ScaledSize(kDesignFrameHeight));
    StatusBar->setGeometry(0, height() - StatusBar->height(), width(), StatusBar->height());
    BtnMin->setPicture(ImgList.value(compact ? 3 : 2));
}

void TMainForm::BtnTopClick()
{
    Options.alwaysOnTop = !Options.alwaysOnTop;
    ApplyTopMode();
}

void TMainForm::ApplyTopMode()
{
    const bool onTop = Options.alwaysOnTop;
    SetHint(BtnTop, onTop ? QStringLiteral("| Libère du premier plan (Ctrl T)")
                          : QStringLiteral("| Fixe au premier plan (Ctrl T)"));
    BtnTop->setBevelStyle(onTop ? TButtonBevel::bbLowered : TButtonBevel::bbRaised);
    // On a shown window the flag goes to the native window, which asks the window manager for
    // its "above" state in place; the widget's own flag change would hide the window.
    if (QWindow *window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, onTop);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    BtnTop->setPicture(ImgList.value(onTop ? 1 : 0));
}

void TMainForm::FormKeyUp(int, Qt::KeyboardModifiers)
{
    CtrlHeld = false;
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_firstShow) {
        m_firstShow = false;
        RestorePlacement();
    }
    // Keys reach the window's native window before any control: watch them there, once each.
    if (QWindow *window = windowHandle())
        window->installEventFilter(this); // installing twice keeps one filter
}

bool TMainForm::event(QEvent *event)
{
    // While a slot is carried the window holds the mouse: the next release ends the drag.
    if (m_dragSource >= 0) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::MouseButtonRelease:
            EndSlotDrag(static_cast<QMouseEvent *>(event)->globalPosition().toPoint(), true);
            return true;
        case QEvent::MouseMove:
            // Over a slot the colour can be dropped; elsewhere the release does nothing.
            QGuiApplication::changeOverrideCursor(
                SlotAt(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()) >= 0
                    ? Qt::DragMoveCursor
                    : Qt::ForbiddenCursor);
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                EndSlotDrag(QPoint(), false);
                return true;
            }
            break;
        case QEvent::WindowDeactivate:
            EndSlotDrag(QPoint(), false);
            break;
        default:
            break;
        }
    }
    // Keys released in another window (a dialog opened by a shortcut, say) never reach this
    // one: a held Ctrl is not known any more once the window loses the keyboard.
    if (event->type() == QEvent::WindowDeactivate)
        CtrlHeld = false;
    return QWidget::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle()) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            return FormKeyDown(key->key(), key->modifiers());
        }
        if (event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            FormKeyUp(key->key(), key->modifiers());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!QuerySavePalette()) {
        event->ignore();
        return;
    }
    SavePlacement();
    FormClose();
    event->accept();
    Q_EMIT closed();
}

void TMainForm::FormCreate()
{
    // The pipette cursor, number 1; the arrow when the picture cannot be loaded.
    const QPixmap pipette(QStringLiteral(":/cursor_pipette.xpm"));
    SetScreenCursor(1, pipette.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(pipette, 0, 13));

    THintMonitor::instance()->setHandler([this] { ShowHintText(); });

    StatusBar->setPanelWidth(0, ScaledSize(235));
    ImgPipette->autoSize();

    Options = StartupOptions();
    LoadSettings();

    SpinRouge->setValue(Options.red);
    SpinVert->setValue(Options.green);
    SpinBleu->setValue(Options.blue);
    CheckValeur->setChecked(Options.valueOnly);
    // Checking one radio button unchecks the others, so the last true option wins.
    const std::pair<QRadioButton *, bool> formats[] = {{RadioHexa, Options.formatHexa},
                                                       {RadioHtml, Options.formatHtml},
                                                       {RadioRgb, Options.formatRgb}};
    for (const auto &[radio, on] : formats) {
        // An exclusive radio button refuses to be unchecked directly; stored options may still
        // select no format at all.
        radio->setAutoExclusive(on);
        radio->setChecked(on);
        radio->setAutoExclusive(true);
    }
    UpdateColor();
    ApplyMinMode();
    ApplyTopMode();
    RadioHtml->setFocus();
    SetPaletteName(Options.paletteName);
}

} // namespace jov
