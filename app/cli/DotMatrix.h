#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace pointillo {

// The dots of one glyph, line by line from the top, each line from the left.
struct DotMatrix {
    int lines = 0;
    int rows = 0;
    std::vector<std::uint8_t> lit; // lines * rows entries, 1 for a lit dot

    bool At(int x, int y) const { return lit[std::size_t((y - 1) * rows + (x - 1))] != 0; }
    bool operator==(const DotMatrix&) const = default;
};

// One entry of a table: what it shows (a character, or a picture's path) and its dots.
struct Glyph {
    char32_t codePoint = 0; // 0 for a picture or a glyph read back without a character
    QString subject;
    DotMatrix dots;
};

// The bytes of one glyph in code order (row-wise or column-wise), packed as the code text is.
QByteArray PackMatrix(const DotMatrix& dots, bool rowWise);
// The inverse of PackMatrix; bytes holds exactly BytesPerGlyph bytes.
DotMatrix UnpackMatrix(const QByteArray& bytes, int lines, int rows, bool rowWise);
int BytesPerGlyph(int lines, int rows, bool rowWise);

// The glyph as a picture of '#' (lit) and '.' (dark), one line of text per dot line.
QString DotPicture(const DotMatrix& dots);

} // namespace pointillo
