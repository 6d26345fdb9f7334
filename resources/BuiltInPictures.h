#pragma once

#include <QImage>
#include <QLatin1StringView>

namespace jov {

// A picture of resources/ built into the program already decoded (make_pictures writes them at
// build time from the same files), named by its file name without extension: "pipette",
// "cursor_pipette", "icons/jov-16". Format_ARGB32 over the program's own read-only data: nothing
// is decoded or copied until the image is changed. Null for an unknown name.
QImage BuiltInPicture(QLatin1StringView name);

} // namespace jov
