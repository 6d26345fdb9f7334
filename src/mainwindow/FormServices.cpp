#include "mainwindow/FormServices.h"

#include "mainwindow/ScreenSampler.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace jov {

FormServices FormServices::platform()
{
    FormServices services;
    services.beep = [] { QApplication::beep(); };
    services.chooseColor = [](QWidget *owner, const QColor &initial) -> std::optional<QColor> {
        QColorDialog dialog(initial, owner);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedColor();
    };
    services.information = [](QWidget *owner, const QString &text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                        QMessageBox::Ok, owner);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.exec();
    };
    services.confirm = [](QWidget *owner, const QString &text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmation"), text,
                        QMessageBox::Yes | QMessageBox::No, owner);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
        return box.exec() == QMessageBox::Yes;
    };
    services.openPaletteFile = [](QWidget *owner, const QString &folder) {
        QFileDialog dialog(owner, QString(), folder, QStringLiteral("Fichiers Palettes (*.pal)"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("pal"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    services.savePaletteFile = [](QWidget *owner, const QString &folder, const QString &name) {
        QFileDialog dialog(owner, QString(), folder, QStringLiteral("Fichiers palette (*.pal)"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave); // asks before overwriting
        dialog.setDefaultSuffix(QStringLiteral("pal"));
        dialog.selectFile(name);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    services.samplePixel = SampleScreenPixel;
    services.cursorPos = ScreenCursorPos;
    services.runDialog = [](QDialog &dialog) { return dialog.exec(); };
    services.openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return services;
}

} // namespace jov
