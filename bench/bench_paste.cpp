// Throughput of the clipboard text reader over a mix of the notations it meets.
#include "color/ColorText.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <cstdio>

int main()
{
    const QList<QString> texts = {
        "#FF8000",        "#ff8000",          "0x000080FF",     "0X123456",
        "RGB(255,128,0)", "RGB(255, 128, 0)", "rgb($FF,0,x10)", "JOV(10,20,30)",
        "255,128,0",      "300,-4,12",        "FF8000",         "000080FF",
        "&H000080FF",     "1,2,3,4",          "RGB(1,2)",       "not a colour at all",
        "12345",          "  # FF 80 00  ",   "2147483648,0,0", "#FF8000\n",
    };

    struct Run
    {
        const char *name;
        QList<QString> set;
    };
    const Run runs[] = {
        {"mix", texts},
        {"html", {"#FF8000", "#123456", "#abcdef", "#000000"}},
        {"comma-list", {"255,128,0", "RGB(18,52,86)", "x10,$20,-30", "1,2,3"}},
        {"with-blanks", {"RGB(255, 128, 0)", " # FF 80 00 ", "1, 2, 3", "0x 00 00 80 FF"}},
    };

    std::printf("%-12s %14s %12s\n", "set", "texts/s", "ns/text");
    for (const Run &run : runs) {
        // Warm up, then time enough rounds for a steady figure.
        long long checksum = 0;
        constexpr int rounds = 200000;
        for (int i = 0; i < rounds / 10; ++i)
            checksum += jov::ReadColorText(run.set[i % run.set.size()]).count;

        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            const jov::PasteResult r = jov::ReadColorText(run.set[i % run.set.size()]);
            checksum += r.count + r.values[0];
        }
        const qint64 ns = timer.nsecsElapsed();
        const double perSecond = double(rounds) * 1e9 / double(ns);
        std::printf("%-12s %14.0f %12.1f   (checksum %lld)\n", run.name, perSecond,
                    double(ns) / rounds, checksum);
    }
    return 0;
}
