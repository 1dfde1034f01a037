#pragma once

#include <QFont>

namespace sondrel {

// The face with the Chinese glyphs (Debian's fonts-noto-cjk) at a fixed pixel size, so that
// every caption fits its fixed place on every desktop.
inline QFont CjkFont(int pixelSize = 12) {
    QFont face(QStringLiteral("Noto Sans CJK SC"));
    face.setPixelSize(pixelSize);
    return face;
}

}  // namespace sondrel
