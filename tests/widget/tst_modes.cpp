// Window modes, help, the options dialog and the About box as the main window drives them.
#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "dialogs/About.h"
#include "dialogs/Options.h"
#include "mainwindow/MainForm.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>

using namespace jov;
using jov::test::Parts;

namespace {

struct Fixture : test::QuietServices
{
    std::unique_ptr<TMainForm> form;

    Fixture() { form = std::make_unique<TMainForm>(nullptr, services()); }
};

} // namespace

class TestModes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compactModeToggles();
    void topModeToggles();
    void helpOpensManualBesideProgram();
    void optionsOkStoresCancelKeeps();
    void optionsLiftCompactMode();
    void aboutFromOptionsOverFullWindow();
};

void TestModes::compactModeToggles()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QCOMPARE(f.form->height(), 323);
    QHash<QWidget *, Qt::FocusPolicy> policies;
    for (QWidget *widget : f.form->findChildren<QWidget *>())
        policies.insert(widget, widget->focusPolicy());
    QTest::keyClick(f.form->windowHandle(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(f.form->options().compact);
    // Assistive technologies are told that what is hidden cannot take the focus either.
    QAccessible::setActive(true);
    for (QWidget *widget : f.form->findChildren<QWidget *>()) {
        if (!widget->isVisible())
            QVERIFY2(!QAccessible::queryAccessibleInterface(widget)->state().focusable,
                     qPrintable(widget->objectName()));
    }
    QCOMPARE(f.form->height(), 148); // outer 175 less the 27 of title bar and borders
    QCOMPARE(Parts(*f.form).BoxReglage->height(), 115);
    QCOMPARE(f.form->statusBar()->geometry(), QRect(0, 148 - 19, 550, 19));
    QCOMPARE(HintOf(Parts(*f.form).BtnMin),
             QStringLiteral("| Agrandit la fenêtre du programme (Ctrl R)"));
    QCOMPARE(Parts(*f.form).BtnMin->bevelStyle(), TButtonBevel::bbLowered);
    QCOMPARE(Parts(*f.form).BtnMin->picture(), f.form->glyphs()[3]);
    // Tab goes only through what the window shows; the channel rows and the export box are
    // hidden, so the arrow keys reach no field out of sight.
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(f.form->windowHandle(), Qt::Key_Tab);
        if (QWidget *focus = QApplication::focusWidget()) {
            QVERIFY(focus->isVisible());
            QVERIFY(f.form->rect().contains(
                QRect(focus->mapTo(f.form.get(), QPoint()), focus->size())));
        }
    }
    QVERIFY(!Parts(*f.form).SpinRouge->isVisible() && !Parts(*f.form).BoxCopie->isVisible());
    QTest::keyClick(f.form->windowHandle(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!f.form->options().compact);
    QCOMPARE(f.form->height(), 323);
    QCOMPARE(Parts(*f.form).BoxReglage->height(), 225);
    QCOMPARE(HintOf(Parts(*f.form).BtnMin),
             QStringLiteral("| Réduit la fenêtre du programme (Ctrl R)"));
    QCOMPARE(Parts(*f.form).BtnMin->bevelStyle(), TButtonBevel::bbRaised);
    QCOMPARE(Parts(*f.form).BtnMin->picture(), f.form->glyphs()[2]);
    QVERIFY(Parts(*f.form).SpinRouge->isVisible() && Parts(*f.form).SpinBleu->isVisible() &&
            Parts(*f.form).BoxCopie->isVisible());
    for (QWidget *widget : f.form->findChildren<QWidget *>())
        QCOMPARE(widget->focusPolicy(), policies.value(widget));
    QCOMPARE(f.form->width(), 550);
}

void TestModes::topModeToggles()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    Parts(*f.form).BtnTop->click();
    QVERIFY(f.form->options().alwaysOnTop);
    QVERIFY(f.form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    QVERIFY(f.form->isVisible());
    QCOMPARE(HintOf(Parts(*f.form).BtnTop), QStringLiteral("| Libère du premier plan (Ctrl T)"));
    QCOMPARE(Parts(*f.form).BtnTop->bevelStyle(), TButtonBevel::bbLowered);
    QCOMPARE(Parts(*f.form).BtnTop->picture(), f.form->glyphs()[1]);
    QTest::keyClick(f.form->windowHandle(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!f.form->options().alwaysOnTop);
    QVERIFY(!(f.form->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(HintOf(Parts(*f.form).BtnTop), QStringLiteral("| Fixe au premier plan (Ctrl T)"));
    QCOMPARE(Parts(*f.form).BtnTop->picture(), f.form->glyphs()[0]);
}

void TestModes::helpOpensManualBesideProgram()
{
    // The manual beside the program, as in the build tree; the test's own folder has none.
    QDir programFolder(QCoreApplication::applicationDirPath());
    QVERIFY(!programFolder.exists(QStringLiteral("aide")));
    QVERIFY(programFolder.mkdir(QStringLiteral("aide")));
    const auto removeManual =
        qScopeGuard([&] { QDir(programFolder.filePath("aide")).removeRecursively(); });
    QFile index(programFolder.filePath(QStringLiteral("aide/index.html")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.close();

    Fixture f;
    Parts(*f.form).BtnAide->click();
    QVERIFY(test::ShowActive(*f.form));
    QTest::keyClick(f.form->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    const QUrl url = QUrl::fromLocalFile(index.fileName());
    QCOMPARE(f.urls, QList<QUrl>({url, url}));
    QCOMPARE(f.beeps, 0);

    // A desktop that cannot open it (no opener, or the opener failed): a beep and a message.
    f.urlsOpen = false;
    Parts(*f.form).BtnAide->click();
    QCOMPARE(f.beeps, 1);
    QCOMPARE(f.form->statusBar()->panelText(0), QStringLiteral(" Le bureau n'a pas ouvert l'aide"));
    f.beeps = 0;

    // Without it nothing is handed to the desktop: a beep and a message instead.
    QVERIFY(index.remove());
    f.urls.clear();
    Parts(*f.form).BtnAide->click();
    QVERIFY(f.urls.isEmpty());
    QCOMPARE(f.beeps, 1);
    QCOMPARE(f.form->statusBar()->panelText(0), QStringLiteral(" Aide introuvable : index.html"));
}

void TestModes::optionsOkStoresCancelKeeps()
{
    Fixture f;
    const TOptionsRecord before = f.form->options();
    bool simpleWhileOpen = false;
    f.onDialog = [&](QDialog &dialog) {
        auto *options = qobject_cast<TOptions *>(&dialog);
        if (!options)
            return int(QDialog::Rejected);
        simpleWhileOpen = f.form->statusBar()->simplePanel();
        for (QCheckBox *check : options->findChildren<QCheckBox *>())
            check->setChecked(!check->isChecked());
        options->SpinPas->setValue(5);
        return int(QDialog::Rejected);
    };
    Parts(*f.form).BtnOptions->click();
    QVERIFY(simpleWhileOpen);
    QVERIFY(!f.form->statusBar()->simplePanel());
    QVERIFY(f.form->options() == before);

    f.onDialog = [&](QDialog &dialog) {
        auto *options = qobject_cast<TOptions *>(&dialog);
        options->CheckSupprime->setChecked(true);
        options->CheckQuerySave->setChecked(false);
        options->SpinPas->setValue(5);
        return int(QDialog::Accepted);
    };
    Parts(*f.form).BtnOptions->click();
    QVERIFY(f.form->options().clearFromSelected);
    QVERIFY(!f.form->options().askToSavePalette);
    QCOMPARE(f.form->options().gradientDivisor, 5);
    QVERIFY(f.form->options().savePlacement); // untouched boxes keep their options
}

void TestModes::optionsLiftCompactMode()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.form->BtnMinClick();
    QCOMPARE(f.form->height(), 148);
    int heightWhileOpen = 0;
    f.onDialog = [&](QDialog &) {
        heightWhileOpen = f.form->height();
        return int(QDialog::Accepted);
    };
    Parts(*f.form).BtnOptions->click();
    QCOMPARE(heightWhileOpen, 323);
    QCOMPARE(f.form->height(), 148);
    QVERIFY(f.form->options().compact);
    f.form->ShowAbout();
    QCOMPARE(heightWhileOpen, 323);
    QCOMPARE(f.form->height(), 148);
}

void TestModes::aboutFromOptionsOverFullWindow()
{
    Fixture f;
    bool aboutShown = false;
    bool animating = false;
    f.onDialog = [&](QDialog &dialog) {
        if (auto *about = qobject_cast<TAbout *>(&dialog)) {
            aboutShown = true;
            about->show();
            animating = about->isAnimating();
            about->close();
            return int(QDialog::Rejected);
        }
        auto *options = qobject_cast<TOptions *>(&dialog);
        options->CheckDegrade->setChecked(true);
        options->BtnAbout->click(); // the options dialog stays open with its edits
        return int(QDialog::Accepted);
    };
    Parts(*f.form).BtnOptions->click();
    QVERIFY(aboutShown);
    QVERIFY(animating);
    QVERIFY(f.form->options().gradientFromSelected);
}

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
