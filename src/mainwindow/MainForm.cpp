#include "mainwindow/MainForm.h"

#include "color/ColorText.h"
#include "color/CustomColors.h"
#include "controls/Accessible.h"
#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/Layout.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/QtColor.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "dialogs/About.h"
#include "dialogs/Options.h"
#include "mainwindow/CustomSlots.h"
#include "mainwindow/Pipette.h"
#include "persistence/Systeme.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLocale>
#include <QRadioButton>
#include <QWindow>

#include <utility>

namespace jov {

namespace {

// Height of a title bar and borders for which the window heights are given.
constexpr int kDesignFrameHeight = 27;

} // namespace

TMainForm::TMainForm(QWidget *parent, FormServices services)
    : QWidget(parent), m_services(std::move(services))
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

void TMainForm::ShowHintText()
{
    const QString hint = THintMonitor::instance()->hint();
    if (StatusBar->simplePanel())
        StatusBar->setSimpleText(hint);
    else
        StatusBar->setPanelText(0, hint);
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
    return MakeColor(SpinRouge->clampedValue(), SpinVert->clampedValue(), SpinBleu->clampedValue());
}

void TMainForm::UpdateColor()
{
    // A typed value outside 0..255 counts as clamped at once, so that the sample, the three
    // texts and what is copied show the same colour; the field itself is clamped when left.
    const int red = SpinRouge->clampedValue();
    const int green = SpinVert->clampedValue();
    const int blue = SpinBleu->clampedValue();
    PanelColor->setColor(QColor(red, green, blue));
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
    // The dialog's custom colours are the persisted lines, and what it leaves in them is kept.
    OptionalCustomColors custom = ParseCustomColorLines(m_customColorLines);
    const std::optional<QColor> chosen =
        m_services.chooseColor(this, ToQColor(CurrentColor()), custom);
    CustomColors kept{};
    for (int i = 0; i < CustomColorCount; ++i)
        kept[size_t(i)] = custom[size_t(i)].value_or(clWhite);
    m_customColorLines = CustomColorLines(kept);
    if (!chosen || !chosen->isValid())
        return;
    ColorToChannels(ToColorRef(*chosen));
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
    // With no format selected nothing is copied and no message is shown.
    if (format == CopyFormat::None)
        return;
    m_services.setClipboardText(CopyText(format, CheckValeur->isChecked(), StatusBar->panelText(1),
                                         StatusBar->panelText(2), StatusBar->panelText(3)));
    StatusBar->setPanelText(0, tr(" Copie effectuée"));
}

void TMainForm::SpeedCollerClick()
{
    // The window goes on answering while the clipboard's owner is asked; a second paste in
    // the meantime does nothing.
    if (m_pasting)
        return;
    m_pasting = true;
    m_services.readClipboardText(this, [this](const ClipboardText &clipboard) {
        m_pasting = false;
        PasteText(clipboard);
    });
}

void TMainForm::PasteText(const ClipboardText &clipboard)
{
    if (clipboard.state == ClipboardText::State::NoAnswer) {
        m_services.beep();
        StatusBar->setPanelText(0, tr(" Presse-papiers : pas de réponse"));
        return;
    }
    if (clipboard.state != ClipboardText::State::Text)
        return;
    const PasteResult result = ReadColorText(clipboard.text);
    TNumberField *const fields[3] = {SpinRouge, SpinVert, SpinBleu};
    for (int i = 0; i < result.count; ++i)
        fields[i]->setValue(result.values[size_t(i)]);
    if (result.outcome == PasteOutcome::ConversionError)
        m_services.beep();
    else if (result.outcome == PasteOutcome::Imported)
        StatusBar->setPanelText(0, tr(" Importation effectuée"));
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The press of Ctrl itself may come without the modifier set, as X reports the state from
    // before the press.
    m_ctrlHeld = modifiers.testFlag(Qt::ControlModifier) || key == Qt::Key_Control;
    if (modifiers.testFlag(Qt::AltModifier) && SlotKeyDown(key, modifiers))
        return true;
    if (!m_ctrlHeld)
        return false;
    // The window's Ctrl shortcuts, by key.
    static const struct
    {
        int key;
        void (TMainForm::*command)();
    } shortcuts[] = {
        {Qt::Key_A, &TMainForm::BtnAideClick},      {Qt::Key_C, &TMainForm::SpeedCopieClick},
        {Qt::Key_E, &TMainForm::BtnOptionsClick},   {Qt::Key_I, &TMainForm::PipetteKeyDown},
        {Qt::Key_L, &TMainForm::CheckValeurToggle}, {Qt::Key_N, &TMainForm::SpeedNetscapeClick},
        {Qt::Key_O, &TMainForm::BtnOpenPalClick},   {Qt::Key_P, &TMainForm::SpeedColorsClick},
        {Qt::Key_R, &TMainForm::BtnMinClick},       {Qt::Key_S, &TMainForm::BtnSavePalClick},
        {Qt::Key_T, &TMainForm::BtnTopClick},       {Qt::Key_V, &TMainForm::SpeedCollerClick},
    };
    for (const auto &shortcut : shortcuts) {
        if (shortcut.key == key) {
            (this->*shortcut.command)();
            return true;
        }
    }
    return false;
}

bool TMainForm::SlotKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The keypad's keys count as the main ones; "+" may need Shift to be typed.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (held != Qt::AltModifier)
            return false;
        m_slots->moveMark(key == Qt::Key_Left ? -1 : 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (held != Qt::AltModifier)
            return false;
        m_slots->applyMarked();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (held & ~(Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier))
            return false;
        if (key == Qt::Key_Plus)
            BtnPlusClick();
        else
            BtnMoinsClick();
        return true;
    default:
        return false;
    }
}

void TMainForm::FormKeyUp(int, Qt::KeyboardModifiers)
{
    m_ctrlHeld = false;
}

SlotColors TMainForm::SlotColorValues() const
{
    return m_slots->colors();
}

void TMainForm::SetSlotColors(const SlotColors &colors)
{
    m_slots->setColors(colors);
}

int TMainForm::MarkedSlot() const
{
    return m_slots->markedSlot();
}

int TMainForm::DraggedSlot() const
{
    return m_slots->draggedSlot();
}

// The slot commands read the Ctrl-held flag and leave it cleared.
void TMainForm::BtnCol1Click(int index)
{
    m_slots->click(index, std::exchange(m_ctrlHeld, false));
}

void TMainForm::BtnCol1DblClick(int index)
{
    m_slots->apply(index);
}

void TMainForm::BtnCol1DragDrop(int target, int source)
{
    m_slots->drop(target, source);
}

void TMainForm::BtnPlusClick()
{
    m_slots->add(std::exchange(m_ctrlHeld, false), CurrentColor());
}

void TMainForm::BtnMoinsClick()
{
    m_slots->remove(std::exchange(m_ctrlHeld, false));
}

void TMainForm::ApplySlotColor(ColorRef color)
{
    PanelColor->setColor(ToQColor(color));
    ColorToChannels(color);
}

void TMainForm::SetPaletteName(const QString &name)
{
    m_slots->setPaletteName(name);
}

void TMainForm::MarkPaletteModified()
{
    m_slots->markPaletteModified();
}

void TMainForm::ResetPaletteName(bool modified)
{
    m_slots->resetPaletteName(modified);
}

bool TMainForm::QuerySavePalette()
{
    return m_slots->querySavePalette();
}

bool TMainForm::PaletteModified() const
{
    return m_slots->paletteModified();
}

void TMainForm::BtnSavePalClick()
{
    m_slots->savePalette();
}

void TMainForm::BtnOpenPalClick()
{
    m_slots->openPalette();
}

void TMainForm::LoadPaletteFile(const QString &path)
{
    m_slots->loadPaletteFile(path);
}

// Runs `show` with the window at full height, leaving compact mode for that time.
void TMainForm::WithFullWindow(const std::function<void()> &show)
{
    const bool compact = m_options.compact;
    if (compact) {
        m_options.compact = false;
        ApplyMinMode();
    }
    show();
    if (compact) {
        m_options.compact = true;
        ApplyMinMode();
    }
}

void TMainForm::BtnOptionsClick()
{
    WithFullWindow([this] {
        TOptions dialog(m_options, BoxReglage->mapToGlobal(QPoint(0, 0)), StatusBar, this);
        connect(&dialog, &TOptions::aboutRequested, this, &TMainForm::ShowAbout);
        if (m_services.runDialog(dialog) == QDialog::Accepted)
            dialog.ApplyTo(m_options);
    });
}

void TMainForm::ShowAbout()
{
    WithFullWindow([this] {
        TAbout about(BoxReglage->mapToGlobal(QPoint(0, 0)), this);
        connect(&about, &TAbout::linkActivated, this, [this](const QString &target) {
            m_services.openUrl(QUrl(target, QUrl::TolerantMode));
        });
        m_services.runDialog(about);
    });
}

void TMainForm::BtnAideClick()
{
    const bool winHelp = UseWinHelp(QCoreApplication::arguments());
    // The manual in the program's language: the default locale, set at start-up.
    const QString path = HelpFilePath(winHelp, QLocale().language());
    if (path.isEmpty()) {
        m_services.beep();
        StatusBar->setPanelText(0, HelpMissingText(winHelp));
        return;
    }
    // The desktop has no opener, or it could not show the manual.
    if (!m_services.openUrl(QUrl::fromLocalFile(path))) {
        m_services.beep();
        StatusBar->setPanelText(0, tr(" Le bureau n'a pas ouvert l'aide"));
    }
}

void TMainForm::CheckValeurToggle()
{
    CheckValeur->toggle();
}

void TMainForm::BtnMinClick()
{
    m_options.compact = !m_options.compact;
    ApplyMinMode();
}

void TMainForm::ApplyMinMode()
{
    const bool compact = m_options.compact;
    SetHint(BtnMin, compact ? tr("| Agrandit la fenêtre du programme (Ctrl R)")
                            : tr("| Réduit la fenêtre du programme (Ctrl R)"));
    BtnMin->setBevelStyle(compact ? TButtonBevel::bbLowered : TButtonBevel::bbRaised);
    BoxReglage->resize(BoxReglage->width(), ScaledSize(compact ? 115 : 225));
    // What the smaller window no longer shows is hidden, so that neither Tab nor an assistive
    // technology reaches it and the arrow keys never change the colour out of sight.
    for (QWidget *child : BoxReglage->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->y() >= ScaledSize(115))
            SetControlShown(child, !compact);
    SetControlShown(BoxCopie, !compact);
    // A hidden control keeps the keyboard focus when no shown one takes it: the window takes it.
    if (QWidget *focus = QApplication::focusWidget();
        focus && isAncestorOf(focus) && !focus->isVisibleTo(this))
        setFocus();
    // The heights are outer heights for a title bar and borders of 27 design pixels; the
    // client area keeps that proportion whatever the window manager draws around it.
    const int outer = compact ? 175 : 350;
    setFixedSize(width(), ScaledSize(outer) - ScaledSize(kDesignFrameHeight));
    // With a screen scale Qt asks the window manager for resize steps of one logical pixel,
    // rounded to whole device pixels (two at 1.5), counted from the base size: the base is the
    // size itself, so that the window manager keeps it to the device pixel.
    setBaseSize(size());
    StatusBar->setGeometry(0, height() - StatusBar->height(), width(), StatusBar->height());
    BtnMin->setPicture(ImgList.value(compact ? ImgMinCompact : ImgMinExpanded));
}

void TMainForm::BtnTopClick()
{
    m_options.alwaysOnTop = !m_options.alwaysOnTop;
    ApplyTopMode();
}

void TMainForm::ApplyTopMode()
{
    const bool onTop = m_options.alwaysOnTop;
    SetHint(BtnTop, onTop ? tr("| Libère du premier plan (Ctrl T)")
                          : tr("| Fixe au premier plan (Ctrl T)"));
    BtnTop->setBevelStyle(onTop ? TButtonBevel::bbLowered : TButtonBevel::bbRaised);
    // On a shown window the flag goes to the native window, which asks the window manager for
    // its "above" state in place; the widget's own flag change would hide the window.
    if (QWindow *window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, onTop);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    BtnTop->setPicture(ImgList.value(onTop ? ImgTopOnTop : ImgTopNormal));
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_firstShow) {
        m_firstShow = false;
        // The style draws focus marks only in a window the keyboard has moved in: the control
        // that has the focus at start (the checked format) shows it at once.
        setAttribute(Qt::WA_KeyboardFocusChange);
        RestorePlacement();
    }
    // Keys reach the window's native window before any control: watch them there, once each.
    if (QWindow *window = windowHandle())
        window->installEventFilter(this); // installing twice keeps one filter
}

bool TMainForm::event(QEvent *event)
{
    // Keys released in another window (a dialog opened by a shortcut, say) never reach this
    // one: a held Ctrl is not known any more once the window loses the keyboard.
    if (event->type() == QEvent::WindowDeactivate)
        m_ctrlHeld = false;
    // The window manager moves a window it frames: its frame is known from then on.
    if (event->type() == QEvent::Move)
        FrameKnown();
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

} // namespace jov
