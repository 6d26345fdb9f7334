#include "persistence/AtomicFile.h"

#include <QSaveFile>

namespace jov {

bool WriteFileAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The explicit flush matters: a short write while QSaveFile flushes its buffer inside
    // commit() is not noticed there (Qt 6.4), and a cut file would be renamed over the old one.
    if (file.write(content) != content.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace jov
