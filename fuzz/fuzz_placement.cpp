// The placement record is text in the settings store: every value may hold anything.
#include "MemoryStore.h"
#include "persistence/Placement.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    if (jov::ParsePositionWords(text, {1, 2, 3, 4}).size() != 4)
        std::abort();

    // One line per value, in this order.
    static const QStringList names = {QStringLiteral("FormVersion"),
                                      QStringLiteral("Flags"),
                                      QStringLiteral("ShowCmd"),
                                      QStringLiteral("PixelsPerInch"),
                                      QStringLiteral("MinMaxPos(1024x768)"),
                                      QStringLiteral("MinMaxPos"),
                                      QStringLiteral("NormPos(1024x768)"),
                                      QStringLiteral("NormPos")};
    const QString key = QStringLiteral("Software\\Corvel Astine\\JOV\\Application");
    jov::MemoryStore store;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size() && i < names.size(); ++i)
        store.data().SetString(key, names[i], lines[i]);

    jov::WindowPlacementRecord current;
    current.normalPosition = jov::PlacementRect{10, 10, 566, 362};
    const jov::PlacementReadResult r =
        jov::ReadPlacement(store, key, current, false, 96, 1024, 768);
    if (r.stopped && r.applyPlacement)
        std::abort();
    if (r.applyPlacement && r.placement.showCmd != jov::SwHide)
        std::abort();

    // Wherever the record points, with any frame size and title bar height read from it, the
    // window's corner ends up on the screen.
    const jov::PlacementRect &p = r.placement.normalPosition;
    const QRect screen(0, 0, 1024, 768);
    const QSize frame(r.placement.minPosition.x(), r.placement.minPosition.y());
    const QPoint place =
        jov::FitOnScreens(QPoint(p.left, p.top), frame, r.placement.maxPosition.x(), {screen});
    if (!screen.contains(place))
        std::abort();
    return 0;
}
