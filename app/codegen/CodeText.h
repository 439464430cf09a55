#pragma once

#include <QString>

namespace kivaro {
class IVek;
}

namespace orvane {

class CodeView;

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
