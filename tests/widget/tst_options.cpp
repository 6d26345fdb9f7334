#include "dialogs/Options.h"

#include "controls/ColorButton.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/StatusBar.h"

#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>

#include <array>

using namespace jov;

using Checks = std::array<bool, 8>;
Q_DECLARE_METATYPE(Checks)

namespace {

constexpr QPoint BoxOnScreen(120, 90);

TOptionsRecord Defaults()
{
    return DefaultOptions(QStringLiteral("/opt/jov/Palettes"), QStringLiteral("/home/u/Documents"));
}

// The options behind the eight check boxes, Op11 to Op18.
std::array<bool *, 8> CheckOptions(TOptionsRecord &r)
{
    return {&r.savePlacement,  &r.rememberFolders, &r.reloadPalette,     &r.askToSavePalette,
            &r.untitledOnCtrl, &r.clickApplies,    &r.clearFromSelected, &r.gradientFromSelected};
}

Checks ChecksOf(TOptionsRecord r)
{
    Checks checks{};
    const auto options = CheckOptions(r);
    for (size_t i = 0; i < checks.size(); ++i)
        checks[i] = *options[i];
    return checks;
}

std::array<QCheckBox *, 8> Boxes(const TOptions &d)
{
    return {d.CheckRestaure, d.CheckDirPal,    d.CheckOldPal,   d.CheckQuerySave,
            d.CheckSansNom,  d.CheckClicColor, d.CheckSupprime, d.CheckDegrade};
}

Checks ChecksOf(const TOptions &dialog)
{
    Checks checks{};
    const auto boxes = Boxes(dialog);
    for (size_t i = 0; i < checks.size(); ++i)
        checks[i] = boxes[i]->isChecked();
    return checks;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filledFromRecord_data()
    {
        QTest::addColumn<TOptionsRecord>("record");
        QTest::addColumn<Checks>("checks");
        QTest::addColumn<int>("step");

        QTest::newRow("defaults") << Defaults()
                                  << Checks{true, true, false, true, false, false, false, false}
                                  << 16;
        TOptionsRecord inverted = Defaults();
        for (bool *option : CheckOptions(inverted))
            *option = !*option;
        inverted.gradientDivisor = 40;
        QTest::newRow("all-inverted-step-40")
            << inverted << Checks{false, false, true, false, true, true, true, true} << 40;
        TOptionsRecord high = Defaults();
        high.gradientDivisor = 500;
        QTest::newRow("stored-step-too-high-shows-64") << high << ChecksOf(high) << 64;
        TOptionsRecord low = Defaults();
        low.gradientDivisor = 0;
        QTest::newRow("stored-step-0-shows-1") << low << ChecksOf(low) << 1;
    }
    void filledFromRecord()
    {
        QFETCH(TOptionsRecord, record);
        QFETCH(Checks, checks);
        QFETCH(int, step);
        TOptions dialog(record, BoxOnScreen, nullptr);
        QCOMPARE(ChecksOf(dialog), checks);
        QCOMPARE(dialog.SpinPas->text(), QString::number(step));
    }

    void applyCopiesEachCheck_data()
    {
        QTest::addColumn<int>("index");
        const char *names[] = {"CheckRestaure-Op11",  "CheckDirPal-Op12",  "CheckOldPal-Op13",
                               "CheckQuerySave-Op14", "CheckSansNom-Op15", "CheckClicColor-Op16",
                               "CheckSupprime-Op17",  "CheckDegrade-Op18"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(names[i]) << i;
    }
    void applyCopiesEachCheck()
    {
        QFETCH(int, index);
        const TOptionsRecord original = Defaults();
        TOptions dialog(original, BoxOnScreen, nullptr);
        Boxes(dialog)[size_t(index)]->click();

        TOptionsRecord applied = original;
        dialog.ApplyTo(applied);

        TOptionsRecord expected = original;
        bool *changed = CheckOptions(expected)[size_t(index)];
        *changed = !*changed;
        QVERIFY(applied == expected); // that option and nothing else
    }

    void applyStep_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("in-range") << "7" << 7;
        QTest::newRow("maximum") << "64" << 64;
        QTest::newRow("above-maximum") << "999" << 64;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("negative") << "-5" << 1;
        QTest::newRow("empty") << "" << 1;
    }
    void applyStep()
    {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        TOptions dialog(Defaults(), BoxOnScreen, nullptr);
        dialog.SpinPas->lineEdit()->setText(typed);
        TOptionsRecord record = Defaults();
        dialog.ApplyTo(record);
        QCOMPARE(record.gradientDivisor, stored);
    }

    // The main window's exchange: apply on OK only; the status bar is single-text while open.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << "ok" << int(QDialog::Accepted);
        QTest::newRow("annuler-keeps-record") << "annuler" << int(QDialog::Rejected);
        QTest::newRow("close-button-is-cancel") << "close" << int(QDialog::Rejected);
        QTest::newRow("escape-is-cancel") << "escape" << int(QDialog::Rejected);
        // Wherever the focus is: a check box, the step field.
        QTest::newRow("enter-in-a-check-box-is-ok") << "enter-check" << int(QDialog::Accepted);
        QTest::newRow("enter-in-the-field-is-ok") << "enter-field" << int(QDialog::Accepted);
        QTest::newRow("escape-in-the-field-is-cancel") << "escape-field" << int(QDialog::Rejected);
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, result);

        TStatusBar bar;
        bar.addPanel(235, Qt::AlignLeft);
        bar.addPanel(100, Qt::AlignHCenter);
        TOptionsRecord record = Defaults();
        const TOptionsRecord before = record;
        {
            TOptions dialog(record, BoxOnScreen, &bar);
            QCOMPARE(dialog.pos(), BoxOnScreen + QPoint(2, 2));
            dialog.open();
            QVERIFY(bar.simplePanel());
            for (QCheckBox *box : Boxes(dialog))
                box->click();
            dialog.SpinPas->setValue(3);

            if (how == QLatin1String("ok"))
                QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
            else if (how == QLatin1String("annuler"))
                QTest::mouseClick(dialog.BtnAnnuler, Qt::LeftButton);
            else if (how == QLatin1String("close"))
                dialog.close();
            else if (how == QLatin1String("enter-check"))
                QTest::keyClick(dialog.CheckDegrade, Qt::Key_Return);
            else if (how == QLatin1String("enter-field"))
                QTest::keyClick(dialog.SpinPas->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
            else if (how == QLatin1String("escape-field"))
                QTest::keyClick(dialog.SpinPas->lineEdit(), Qt::Key_Escape);
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);

            QVERIFY(!dialog.isVisible());
            QVERIFY(!bar.simplePanel());
            QCOMPARE(dialog.result(), result);
            if (dialog.result() == QDialog::Accepted)
                dialog.ApplyTo(record);
        }
        QVERIFY(!bar.simplePanel());
        if (result == QDialog::Accepted) {
            QCOMPARE(record.gradientDivisor, 3);
            for (size_t i = 0; i < 8; ++i)
                QCOMPARE(ChecksOf(record)[i], !ChecksOf(before)[i]);
        } else {
            QVERIFY(record == before);
        }
    }

    void statusBarBackWhenNeverShown()
    {
        TStatusBar bar;
        {
            TOptions dialog(Defaults(), BoxOnScreen, &bar);
            QVERIFY(bar.simplePanel());
        }
        QVERIFY(!bar.simplePanel());
    }

    void statusBarDeletedFirst()
    {
        auto *bar = new TStatusBar;
        TOptions dialog(Defaults(), BoxOnScreen, bar);
        dialog.open();
        delete bar;
        dialog.reject(); // must not touch the deleted bar
        QVERIFY(!dialog.isVisible());
    }

    void aboutKeepsDialogOpen()
    {
        TOptions dialog(Defaults(), BoxOnScreen, nullptr);
        QSignalSpy abouts(&dialog, &TOptions::aboutRequested);
        dialog.open();
        dialog.CheckSansNom->click();
        QTest::mouseClick(dialog.BtnAbout, Qt::LeftButton);
        QCOMPARE(abouts.count(), 1);
        QTest::keyClick(dialog.CheckSansNom, Qt::Key_A, Qt::ControlModifier); // from the keyboard
        QCOMPARE(abouts.count(), 2);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.CheckSansNom->isChecked()); // the edit survived
        dialog.reject();
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint"); // empty: any long hint of its own
        QTest::newRow("CheckRestaure")
            << "CheckRestaure"
            << "Sauvegarder et restaurer automatiquement l'emplacement du programme"
            << "";
        QTest::newRow("CheckDirPal")
            << "CheckDirPal"
            << "Sauvegarder et restaurer les dossiers des dernières palettes utilisées"
            << "";
        QTest::newRow("CheckOldPal")
            << "CheckOldPal"
            << "Sauvegarder et restaurer la palette utilisée (sinon boutons personnalisés)"
            << "";
        QTest::newRow("CheckQuerySave")
            << "CheckQuerySave"
            << "Proposer la sauvegarde des palettes au chargement et à la fermeture"
            << "";
        QTest::newRow("CheckSansNom")
            << "CheckSansNom"
            << "Modifier le nom (SansNom) de la palette lors du Ctrl + ou du Ctrl -"
            << "";
        QTest::newRow("CheckClicColor")
            << "CheckClicColor"
            << "Mettre à jour le modèle par simple clic sur boutons personnalisés"
            << "";
        QTest::newRow("CheckSupprime")
            << "CheckSupprime"
            << "Supprimer la couleur des boutons à partir du bouton sélectionné"
            << "";
        QTest::newRow("CheckDegrade")
            << "CheckDegrade"
            << "Commencer le dégradé des boutons à partir du bouton sélectionné"
            << "";
        QTest::newRow("Label1") << "Label1"
                                << "Régler le pas du dégradé sur la valeur indiquée (défaut = 16) :"
                                << "-";
        QTest::newRow("BtnOk") << "BtnOk"
                               << "Ok"
                               << "| Accepte toutes les options";
        QTest::newRow("BtnAnnuler") << "BtnAnnuler"
                                    << "Annuler"
                                    << "| Annule toutes les modifications";
        QTest::newRow("BtnAbout") << "BtnAbout"
                                  << "A propos"
                                  << "| Affiche les informations du logiciel (Ctrl A)";
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        TOptions dialog(Defaults(), BoxOnScreen, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        auto *widget = dialog.findChild<QWidget *>(name);
        QVERIFY(widget);
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            QCOMPARE(box->text(), caption);
        else if (auto *button = qobject_cast<TColorButton *>(widget))
            QCOMPARE(button->caption(), caption);
        else
            QCOMPARE(qobject_cast<QLabel *>(widget)->text(), caption);

        if (hint == QLatin1String("-"))
            QVERIFY(HintOf(widget).isEmpty());
        else if (hint.isEmpty())
            QVERIFY(HintOf(widget).startsWith(QLatin1String("| ")) && HintOf(widget).size() > 10);
        else
            QCOMPARE(HintOf(widget), hint);
    }

    // Assistive technologies get a role and the hint's text for every control.
    void accessibleNames()
    {
        TOptions dialog(Defaults(), BoxOnScreen, nullptr);
        const QStringList bad = jov::test::BadlyNamedControls(dialog);
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }

    // The buttons draw no focus mark, so they never take the focus: the dialog opens with its
    // first check box focused, Space toggles it instead of closing the dialog, and Tab goes
    // round the check boxes and the field only.
    void tabOrder()
    {
        TOptions dialog(Defaults(), BoxOnScreen, nullptr);
        for (TColorButton *button : {dialog.BtnOk, dialog.BtnAnnuler, dialog.BtnAbout})
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(jov::test::ShowActive(dialog));
        QTRY_VERIFY(dialog.CheckRestaure->hasFocus());
        // Its focus mark shows before any key: the style draws it only with this state.
        QStyleOptionButton check;
        check.initFrom(dialog.CheckRestaure);
        QVERIFY(check.state & QStyle::State_KeyboardFocusChange);
        QTest::keyClick(dialog.CheckRestaure, Qt::Key_Space);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.CheckRestaure->isChecked());

        const QStringList expected = {
            "CheckDirPal",   "CheckOldPal",  "CheckQuerySave", "CheckSansNom", "CheckClicColor",
            "CheckSupprime", "CheckDegrade", "SpinPas",        "CheckLoupe",   "CheckRestaure"};
        QStringList visited;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            if (focus && focus->parentWidget() == dialog.SpinPas)
                focus = dialog.SpinPas; // its text takes the focus for it
            visited << (focus ? focus->objectName() : QString());
        }
        QCOMPARE(visited, expected);
        dialog.reject();
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
