#pragma once

#include "Layout.h"

#include <QString>

namespace kivaro {
class IVek;
}

namespace orvane {

class CodeView;

// The layout of a Code Model option: row-wise (A--B over C--D) or column-wise (A--C over B--D).
inline pointillo::Layout CodeModelLayout(bool rowWise) {
    return rowWise ? pointillo::Layout::Row() : pointillo::Layout::Column();
}

// What the first comment line names: the typed character in character mode, else the file name
// last chosen in the window's shared dialog.
QString CodeSubject(bool CharMode, const QString& charText, const QString& dialogFileName);

// The code text of the control's dot pattern in layout, its dots read with one Bit query each
// in the order the layout scans them (pointillo::WindowCodeText). asm51 chooses assembler
// syntax over C.
QString BuildCodeString(kivaro::IVek& control, const pointillo::Layout& layout, bool asm51,
                        const QString& subject);

// Replaces the whole text of Txt_Display with the code text; on a failure it keeps its text.
void BuildCodeText(kivaro::IVek& control, CodeView& Txt_Display, const pointillo::Layout& layout,
                   bool asm51, const QString& subject);

} // namespace orvane
