#include "HelpFile.h"

#include "AppInfo.h"
#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

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
    return ScrambleAnsi(ansi);
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
