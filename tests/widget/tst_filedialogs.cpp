// The real palette dialogs of FormServices::platform(): they must never read a file they list.
// Qt's own icon provider reads the start of every file to tell its type, on the GUI thread, and a
// soak run hung for good there, in a save dialog taken into /proc as root (/proc/kmsg waits for
// kernel messages).
#include "controls/KeptIconsStyle.h"
#include "mainwindow/FormServices.h"

#include <QAbstractButton>
#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace jov;

namespace {

// A file without an extension that begins as a PNG picture: only a provider that reads it calls
// it one.
QString PngWithoutExtension(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("sans-extension"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    return path;
}

// The type that the modal file dialog shown by `run` gives the file at `path`; the dialog is
// then cancelled.
QString TypeInDialog(const QString &path, const std::function<void()> &run)
{
    QString type = QStringLiteral("no dialog");
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        type = dialog->iconProvider() ? dialog->iconProvider()->type(QFileInfo(path))
                                      : QStringLiteral("no provider");
        dialog->reject();
    });
    run();
    return type;
}

} // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QApplication::setStyle(new TKeptIconsStyle);
    }

    void typesFromTheNameAlone()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = PngWithoutExtension(dir);
        QVERIFY(!path.isEmpty());
        // The test means something: a provider that reads the file calls it a PNG picture.
        QVERIFY2(QFileIconProvider().type(QFileInfo(path)).contains(QLatin1String("PNG")),
                 qPrintable(QFileIconProvider().type(QFileInfo(path))));

        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        FormServices services = FormServices::platform();
        const QString opened =
            TypeInDialog(path, [&] { services.openPaletteFile(nullptr, dir.path()); });
        const QString saved =
            TypeInDialog(path, [&] { services.savePaletteFile(nullptr, dir.path(), {}); });
        for (const QString &type : {opened, saved}) {
            QVERIFY2(!type.isEmpty() && !type.startsWith(QLatin1String("no ")), qPrintable(type));
            QVERIFY2(!type.contains(QLatin1String("PNG")), qPrintable(type));
        }
    }

    // Qt's pixmap cache keeps a key for good for every icon it draws (Qt 6.4): a dialog with new
    // icons each time left 3 kB behind for good per run (20 kB until the cache is full). Under
    // the program's style the dialogs show the same icons each time.
    void sameIconsEachTime()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        FormServices services = FormServices::platform();
        QList<QList<qint64>> runs;
        for (int run = 0; run < 4; ++run) {
            QList<qint64> keys;
            QTimer::singleShot(0, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                    if (!button->icon().isNull())
                        keys << button->icon().cacheKey();
                for (int type = QFileIconProvider::Computer; type <= QFileIconProvider::File;
                     ++type)
                    keys << dialog->iconProvider()
                                ->icon(QFileIconProvider::IconType(type))
                                .cacheKey();
                keys << dialog->iconProvider()->icon(QFileInfo(dir.path())).cacheKey();
                dialog->reject();
            });
            if (run % 2 == 1)
                services.savePaletteFile(nullptr, dir.path(), {});
            else
                services.openPaletteFile(nullptr, dir.path());
            QVERIFY(keys.size() > QFileIconProvider::File + 4); // the buttons' icons are there
            runs << keys;
        }
        QCOMPARE(runs[2], runs[0]); // the open dialogs
        QCOMPARE(runs[3], runs[1]); // the save dialogs
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
