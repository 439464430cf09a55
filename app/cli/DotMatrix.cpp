#include "DotMatrix.h"

#include "codegen/CodeText.h"

namespace pointillo {

QByteArray PackMatrix(const DotMatrix& dots, bool rowWise) {
    return orvane::PackBits(dots.rows, dots.lines, rowWise,
                            [&dots](int x, int y) { return dots.At(x, y); });
}

int BytesPerGlyph(int lines, int rows, bool rowWise) {
    return rowWise ? lines * ((rows + 7) / 8) : rows * ((lines + 7) / 8);
}

DotMatrix UnpackMatrix(const QByteArray& bytes, int lines, int rows, bool rowWise) {
    DotMatrix dots{lines, rows, std::vector<std::uint8_t>(std::size_t(lines) * rows, 0)};
    const int along = rowWise ? rows : lines;
    const int across = rowWise ? lines : rows;
    qsizetype next = 0;
    for (int outer = 1; outer <= across; ++outer) {
        for (int g = 1; g <= along; g += 8) {
            const int last = std::min(g + 7, along);
            const auto value = static_cast<std::uint8_t>(bytes[next++]);
            // A short group sits in the low bits: its last dot is bit 0.
            for (int k = g; k <= last; ++k) {
                const int x = rowWise ? k : outer;
                const int y = rowWise ? outer : k;
                dots.lit[std::size_t((y - 1) * rows + (x - 1))] = (value >> (last - k)) & 1;
            }
        }
    }
    return dots;
}

QString DotPicture(const DotMatrix& dots) {
    QString picture;
    picture.reserve(qsizetype(dots.lines) * (dots.rows + 1));
    for (int y = 1; y <= dots.lines; ++y) {
        for (int x = 1; x <= dots.rows; ++x)
            picture += QLatin1Char(dots.At(x, y) ? '#' : '.');
        picture += QLatin1Char('\n');
    }
    return picture;
}

} // namespace pointillo
