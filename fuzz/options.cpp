// The option parser with the character sets: arguments separated by NUL bytes. A refusal is a
// usage error (status 2) with a message; what is accepted gives ranges that read as character
// sets of valid code points, each once.
#include "CharacterSet.h"
#include "CliOptions.h"
#include "FuzzCheck.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace pointillo;

namespace {

void rangesAreValidCharacters(const CliOptions& o) {
    CharacterSet set;
    set.AddText(o.text);
    for (const QString& range : o.ranges)
        (void)set.AddRange(range);
    QSet<char32_t> seen;
    for (char32_t cp : set.CodePoints()) {
        FUZZ_CHECK(cp <= 0x10FFFF && !QChar::isSurrogate(cp));
        FUZZ_CHECK(!seen.contains(cp));
        seen.insert(cp);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray& a : bytes.split('\0'))
        arguments.append(QString::fromUtf8(a));
    try {
        const CliOptions o = ParseArguments(arguments);
        rangesAreValidCharacters(o);
        FUZZ_CHECK(o.glyph.width >= 1 && o.glyph.width <= 254);
        FUZZ_CHECK(o.glyph.height >= 1 && o.glyph.height <= 254);
    } catch (const CliError& e) {
        FUZZ_CHECK(e.status == 2);
        FUZZ_CHECK(!e.message.isEmpty());
    }
    return 0;
}
