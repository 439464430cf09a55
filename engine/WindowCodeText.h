#pragma once

#include <QByteArrayView>
#include <QString>

namespace pointillo {

// One byte as the code text writes it: "0A0H" in Asm51, "0xA0" in C51.
void AppendCodeByte(QString& text, int value, bool asm51);

// The window's code text for the bytes of one glyph: four comment lines ending in CR LF, the
// first naming subject, then every byte on one line ("DB 00H,..." or "0x00,..."). A layout
// other than the window's two is named in a fifth comment line, layoutItems.
QString WindowCodeText(QByteArrayView bytes, bool asm51, const QString& subject,
                       const QString& layoutItems = {});

} // namespace pointillo
