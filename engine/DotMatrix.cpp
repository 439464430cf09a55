#include "DotMatrix.h"

namespace pointillo {

QString DotPicture(const DotMatrix& dots) {
    QString picture;
    picture.reserve(qsizetype(dots.height) * (dots.width + 1));
    for (int y = 0; y < dots.height; ++y) {
        for (int x = 0; x < dots.width; ++x)
            picture += QLatin1Char(dots.At(x, y) ? '#' : '.');
        picture += QLatin1Char('\n');
    }
    return picture;
}

} // namespace pointillo
