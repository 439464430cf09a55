// The help file: any text the build tool accepts reads back as itself, and any bytes in the
// help file's place are either read as text or refused, never more.
#include "FuzzCheck.h"
#include "platform/PlatformError.h"
#include "window/HelpFile.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    try {
        const QByteArray file = orvane::EncodeHelpFile(text);
        QStringDecoder decoder("GBK");
        FUZZ_CHECK(decoder.decode(orvane::ScrambleAnsi(file)) == text);
        FUZZ_CHECK(!decoder.hasError());
    } catch (const platform::PlatformError& e) {
        FUZZ_CHECK(e.number() == platform::kErrTypeMismatch);
    }
    // The raw bytes as a help file: the decoder takes them or says it cannot.
    QStringDecoder decoder("GBK");
    (void)decoder.decode(orvane::ScrambleAnsi(bytes));
    return 0;
}
