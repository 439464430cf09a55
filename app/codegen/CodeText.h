#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kivaro {
class IVek;
}

namespace orvane {

class CodeView;

// The bytes of a matrix of rows dots across and lines down, in code order: row-wise eight dots
// of a line per byte, left dot highest; otherwise eight dots of a column, top dot highest. A
// short last group sits in the low bits. bit(X, Y) is 1 for a lit dot, X and Y counted from 1.
template <class BitOf> QByteArray PackBits(int rows, int lines, bool rowWise, BitOf bit) {
    const int along = rowWise ? rows : lines;  // dots cut into groups
    const int across = rowWise ? lines : rows; // lines (or columns) of groups
    QByteArray bytes;
    bytes.reserve(qsizetype((along + 7) / 8) * across);
    for (int outer = 1; outer <= across; ++outer) {
        for (int g = 1; g <= along; g += 8) {
            int value = 0;
            for (int k = g; k <= along && k <= g + 7; ++k)
                value = (value << 1) | (bit(rowWise ? k : outer, rowWise ? outer : k) ? 1 : 0);
            bytes.append(static_cast<char>(value));
        }
    }
    return bytes;
}

// The control's dot pattern packed as PackBits does, one Bit query per dot.
QByteArray PackDots(kivaro::IVek& control, bool rowWise);

// One byte as the code text writes it: "0A0H" in Asm51, "0xA0" in C51.
void AppendCodeByte(QString& text, int value, bool asm51);

// The four comment lines of the code text, each ending in CR LF.
QString CodeHeader(bool asm51, const QString& subject);

// What the first comment line names: the typed character in character mode, else the file name
// last chosen in the window's shared dialog.
QString CodeSubject(bool CharMode, const QString& charText, const QString& dialogFileName);

// The code text of the control's dot pattern: four comment lines ending in CR LF, then every
// byte of the matrix on one line. rowWise packs eight dots of a line into a byte, left dot
// highest; otherwise eight dots of a column, top dot highest. A short last group sits in the
// low bits. asm51 chooses assembler syntax over C.
QString BuildCodeString(kivaro::IVek& control, bool rowWise, bool asm51, const QString& subject);

// Replaces the whole text of Txt_Display with the code text; on a failure it keeps its text.
void BuildCodeText(kivaro::IVek& control, CodeView& Txt_Display, bool rowWise, bool asm51,
                   const QString& subject);

} // namespace orvane
