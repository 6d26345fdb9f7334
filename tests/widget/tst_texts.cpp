#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "color/ColorText.h"
#include "controls/Hints.h"
#include "controls/StatusBar.h"
#include "mainwindow/MainForm.h"
#include "persistence/GimpPalette.h"
#include "persistence/Systeme.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QTest>
#include <QTranslator>

#include <cmath>

using namespace jov;

// The status line's texts are whole in every language the program speaks and at every screen
// density: the hints and messages in the first panel, the colour texts in theirs. The panels
// are sized in device pixels; the text is drawn in logical pixels, which the screen's density
// makes larger by ppi / 96.
class TestTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusTextsFit_data();
    void statusTextsFit();
    void longFirstTextShownAcross();
};

void TestTexts::statusTextsFit_data()
{
    QTest::addColumn<QString>("catalogue"); // none: French
    QTest::addColumn<int>("ppi");
    for (const int ppi : {96, 120, 144}) {
        QTest::addRow("french %d", ppi) << QString() << ppi;
        QTest::addRow("english %d", ppi) << QStringLiteral(JOV_CATALOGUES "/jov_en.qm") << ppi;
    }
}

void TestTexts::statusTextsFit()
{
    QFETCH(QString, catalogue);
    QFETCH(int, ppi);
    QTranslator translator;
    if (!catalogue.isEmpty()) {
        QVERIFY(translator.load(catalogue));
        QCoreApplication::installTranslator(&translator);
    }
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());

    QStringList first;
    for (const QWidget *widget : form.findChildren<QWidget *>()) {
        if (!HintOf(widget).isEmpty())
            first.append(LongHint(HintOf(widget)));
    }
    const auto tr = [](const char *context, const char *text) {
        return QCoreApplication::translate(context, text);
    };
    for (const char *message :
         {" Copie effectuée", " Presse-papiers : pas de réponse", " Importation effectuée",
          " Le bureau n'a pas ouvert l'aide", " Pipette indisponible : souris prise",
          " Pipette active : bougez la souris", "| Agrandit la fenêtre du programme (Ctrl R)",
          "| Libère du premier plan (Ctrl T)"})
        first.append(LongHint(tr("jov::TMainForm", message)));
    first.append(tr("jov::TMainForm", " Pipette active : carré de %1 × %1").arg(15));
    for (const char *message :
         {" Pipette annulée", " Pipette indisponible : refus du portail",
          " Pipette indisponible : pas de D-Bus", " Pipette indisponible : aucun portail",
          " Pipette indisponible : portail trop ancien", " Pipette indisponible : aucun sélecteur",
          " Pipette indisponible : pas de réponse", " Pipette indisponible : erreur du portail",
          " Pipette indisponible : réponse illisible", " Pipette indisponible : portail arrêté"})
        first.append(tr("PortalColorPicker", message));
    first << tr("jov::TPipette", " Le portail prélève un seul pixel")
          << tr("ScreenSampler", " Pipette : écran illisible") << HelpMissingText(true)
          << HelpMissingText(false) << GimpIgnoredColorsMessage(240);

    TStatusBar *bar = form.statusBar();
    const QFontMetrics metrics(bar->font());
    // The room for text in `width` device pixels at 96 ppi, in logical pixels at `ppi`.
    const auto room = [ppi](int width) { return ScaleToScreen(width, ppi) * 96.0 / ppi - 6; };
    QStringList cut;
    // A text too long for the first panel is shown across the bar.
    for (const QString &text : std::as_const(first)) {
        if (metrics.horizontalAdvance(text) > room(bar->width()))
            cut.append(text);
    }
    for (const int value : {0, 136, 255}) {
        const QString texts[] = {HexaText(value, value, value), HtmlText(value, value, value)};
        for (int i = 0; i < 2; ++i) {
            if (metrics.horizontalAdvance(texts[i]) > room(bar->panelWidth(i + 1)))
                cut.append(texts[i]);
        }
    }
    QCoreApplication::removeTranslator(&translator);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

void TestTexts::longFirstTextShownAcross()
{
    TStatusBar bar;
    bar.setGeometry(0, 0, 550, 19);
    bar.addPanel(235, Qt::AlignLeft);
    bar.addPanel(100, Qt::AlignHCenter);
    const int border = bar.devicePanelRect(1).left(); // the second panel's left frame line
    const QColor dark = bar.palette().color(QPalette::Dark);
    for (const bool overflow : {false, true}) {
        bar.setPanelText(0, overflow ? QString(60, QLatin1Char('W')) : QStringLiteral(" Copie"));
        QCOMPARE(bar.firstPanelOverflows(), overflow);
        QCOMPARE(test::PixelAt(test::Grab(bar), border, 9).rgb() == dark.rgb(), !overflow);
    }
}

QTEST_MAIN(TestTexts)
#include "tst_texts.moc"
