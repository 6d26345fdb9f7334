// The main window's start-up sequence, its settings read at creation and written at close,
// and the window placement record.
#include "mainwindow/MainForm.h"

#include "controls/Cursors.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "mainwindow/CustomSlots.h"
#include "persistence/LegacyIni.h"
#include "persistence/Systeme.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <cmath>
#include <utility>

namespace jov {

namespace {

QSize PrimaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() * screen->devicePixelRatio() : QSize();
}

} // namespace

TMainForm::ChannelControlList TMainForm::ChannelControls() const
{
    return {{{&TOptionsRecord::red, SpinRouge},
             {&TOptionsRecord::green, SpinVert},
             {&TOptionsRecord::blue, SpinBleu}}};
}

// In this order: checking one radio button unchecks the others, so the last true option wins.
TMainForm::FormatControlList TMainForm::FormatControls() const
{
    return {{{&TOptionsRecord::formatHexa, RadioHexa},
             {&TOptionsRecord::formatHtml, RadioHtml},
             {&TOptionsRecord::formatRgb, RadioRgb}}};
}

void TMainForm::FormCreate()
{
    RegisterPipetteCursor();

    THintMonitor::instance()->setHandler([this] { ShowHintText(); });

    // The layout's panel widths, in device pixels, grow with the text on a dense screen; the
    // last panel takes what is left.
    for (int i = 0; i < StatusBar->panelCount() - 1; ++i)
        StatusBar->setPanelWidth(i, ScaleToScreen(StatusBar->panelWidth(i), ScreenPpi()));
    ImgPipette->autoSize();

    m_options = StartupOptions();
    LoadSettings();

    for (const auto &[option, field] : ChannelControls())
        field->setValue(m_options.*option);
    CheckValeur->setChecked(m_options.valueOnly);
    for (const auto &[option, radio] : FormatControls()) {
        const bool on = m_options.*option;
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
    SetPaletteName(m_options.paletteName);
}

void TMainForm::LoadSettings()
{
    SettingsStore &store = *m_services.store;
    SlotColors slotColors = SlotColorValues();
    const QString legacy = m_services.legacyIniPath;
    if (!legacy.isEmpty() && QFileInfo::exists(legacy) &&
        store.RegReadString(RootKeyPath, LegacyImportedValue, QString()) !=
            LegacyIniSignature(legacy)) {
        const LegacyImportResult result = ImportLegacyIniFile(
            legacy, store, m_options, m_customColorLines, slotColors, &m_settingsSnapshot);
        if (result == LegacyImportResult::NotDeleted)
            store.RegWriteString(RootKeyPath, LegacyImportedValue, LegacyIniSignature(legacy));
        if (result != LegacyImportResult::Unreadable) {
            SetSlotColors(slotColors);
            return; // the placement is read when the window is first shown
        }
    }
    LoadSettingsFromStore(
        store, m_options, m_customColorLines, slotColors,
        [this](const QString &path) { LoadPaletteFile(path); }, &m_settingsSnapshot);
    if (!m_options.reloadPalette)
        SetSlotColors(slotColors);
    RestorePlacement();
}

bool TMainForm::SaveSettings()
{
    m_options.paletteName = m_slots->paletteName();
    return SaveSettingsToStore(*m_services.store, m_options, m_customColorLines, SlotColorValues(),
                               &m_settingsSnapshot);
}

bool TMainForm::FormClose()
{
    SetApplicationCursor(DefaultCursorIndex);
    for (const auto &[option, field] : ChannelControls())
        m_options.*option = field->value();
    m_options.valueOnly = CheckValeur->isChecked();
    for (const auto &[option, radio] : FormatControls())
        m_options.*option = radio->isChecked();
    bool saved = SaveSettings();
    // The placement was written when the close was granted; written again here on purpose,
    // after the settings, when the user asked for it.
    if (m_options.savePlacement)
        saved &= SavePlacement();
    return saved;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    if (!QuerySavePalette()) {
        event->ignore();
        return;
    }
    EndRun(true);
    event->accept();
}

void TMainForm::EndSession()
{
    EndRun(false);
}

void TMainForm::EndRun(bool userPresent)
{
    if (m_ended)
        return;
    m_ended = true;
    bool saved = SavePlacement();
    saved &= FormClose();
    if (!saved) {
        // The store was left as it was; the user learns that this run's settings are lost, in
        // a notice when there to read it, else on the error output.
        const QString where = m_services.store->location();
        const QString failure =
            where.isEmpty() ? tr("Les réglages n'ont pas pu être enregistrés")
                            : tr("Les réglages n'ont pas pu être enregistrés dans %1").arg(where);
        if (userPresent)
            m_services.information(this, QStringLiteral("\r\n") + failure);
        else
            qWarning().noquote() << tr("%1 : %2").arg(QCoreApplication::applicationName(), failure);
    }
    Q_EMIT closed();
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
    return WritePlacement(*m_services.store, PlacementKeyPath, placement, ScreenPpi(),
                          screenSize.width(), screenSize.height(), false);
}

void TMainForm::RestorePlacement()
{
    const QSize screenSize = PrimaryScreenSize();
    const PlacementReadResult result =
        ReadPlacement(*m_services.store, PlacementKeyPath, CurrentPlacement(), isVisible(),
                      ScreenPpi(), screenSize.width(), screenSize.height());
    if (result.stopped)
        return;
    if (result.applyPlacement)
        PlaceOnScreens(
            QPoint(result.placement.normalPosition.left, result.placement.normalPosition.top));
    // The window has a fixed size: a maximised record comes up normal.
    if (result.show == PlacementShow::Minimized && isVisible())
        QTimer::singleShot(0, this, [this] { showMinimized(); });
}

// A place partly or wholly off the screens (a monitor unplugged, a smaller screen) is brought
// whole onto the nearest one. Until the window manager has framed the window its frame is not
// known and the fit can only use the client area: it is made again, with the whole frame, as
// soon as the frame is known (FrameKnown).
void TMainForm::PlaceOnScreens(QPoint stored)
{
    QList<QRect> areas;
    for (const QScreen *s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    const QRect frame = frameGeometry();
    const bool framed = frame != geometry();
    const int titleBar = geometry().top() > frame.top()
                             ? geometry().top() - frame.top()
                             : style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QPoint place = FitOnScreens(stored, frame.size(), titleBar, areas);
    move(place);
    m_unframedFit.reset();
    if (!framed && place != stored)
        m_unframedFit = stored;
}

void TMainForm::FrameKnown()
{
    if (m_unframedFit && frameGeometry() != geometry())
        PlaceOnScreens(*std::exchange(m_unframedFit, std::nullopt));
}

} // namespace jov
