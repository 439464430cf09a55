#include "HelpFile.h"

#include "AppInfo.h"
#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace orvane {

namespace {

bool isLeadByte(std::uint8_t b) {
    return b >= 0x81 && b <= 0xFE;
}

[[noreturn]] void fail(int number, const QString& why) {
    throw platform::PlatformError(number, why);
}

// Scrambling keeps a lead byte and XORs the byte after it, so it undoes itself only where the
// XOR never turns a single byte into a lead byte (0x80 and 0xFF become 0xB7 and 0xC8).
QString firstUnscramblable(const QString& text) {
    for (const uint u : text.toUcs4()) {
        const auto cp = char32_t(u);
        QStringEncoder encoder("GBK");
        // A letter after it: a lone byte at the very end is XORed whatever it is.
        const QByteArray one = encoder.encode(QString::fromUcs4(&cp, 1)) + 'A';
        if (ScrambleAnsi(ScrambleAnsi(one)) != one)
            return QStringLiteral("U+%1").arg(u, 4, 16, QLatin1Char('0')).toUpper();
    }
    return QStringLiteral("a character");
}

} // namespace

QByteArray ScrambleAnsi(const QByteArray& bytes, std::uint8_t key) {
    QByteArray out = bytes;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (isLeadByte(std::uint8_t(out[i])) && i + 1 < out.size())
            ++i;
        out[i] = char(std::uint8_t(out[i]) ^ key);
    }
    return out;
}

QByteArray EncodeHelpFile(const QString& text) {
    QStringEncoder encoder("GBK");
    const QByteArray ansi = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        fail(platform::kErrTypeMismatch, QStringLiteral("The help text has a character that "
                                                        "the Chinese code page does not have"));
    const QByteArray scrambled = ScrambleAnsi(ansi);
    // Text added to the help later must not change how this part unscrambles.
    if (ScrambleAnsi(ScrambleAnsi(ansi + 'A')) != ansi + 'A')
        fail(platform::kErrTypeMismatch,
             QStringLiteral("The help text has %1, which the help file's scrambling cannot carry")
                 .arg(firstUnscramblable(text)));
    return scrambled;
}

QString ReadHelpFile(const QString& path) {
    const QByteArray scrambled = platform::ReadRegularFile(path, kMaxHelpFileBytes);
    QStringDecoder decoder("GBK");
    const QString text = decoder.decode(ScrambleAnsi(scrambled));
    if (!decoder.isValid() || decoder.hasError())
        fail(platform::kErrTypeMismatch, QStringLiteral("The help file is damaged"));
    return text;
}

QString AboutText() {
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    return QString::fromUtf8(kProductVersion) + crlf2 + QStringLiteral("作者：") +
           QString::fromUtf8(kAuthor) + crlf2 +
           QStringLiteral(
               "您的这份拷贝可能丢失了部分文件，致使帮助信息损坏，要获得帮助信息，请联系") +
           QString::fromUtf8(kEmail) + QStringLiteral("。获得完整拷贝。");
}

} // namespace orvane
