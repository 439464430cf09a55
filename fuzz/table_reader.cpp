// The table reader over every input format: binary, Intel HEX, C, assembler and the window's
// text. Whatever it reads packs back to the same bytes, reads back the same from the c and hex
// tables written of it, and whatever it refuses is an input error (status 1) naming the input.
#include "CodeReader.h"
#include "Error.h"
#include "FuzzCheck.h"
#include "Packing.h"
#include "TableWriter.h"

#include <cstddef>
#include <cstdint>

using namespace pointillo;

namespace {

QByteArray packed(const ReadResult& r) {
    const PackingPlan plan(r.layout.layout, r.layout.width, r.layout.height);
    QByteArray bytes;
    for (const Glyph& g : r.glyphs)
        bytes += plan.Pack(g.dots);
    return bytes;
}

bool sameDots(const QList<Glyph>& a, const QList<Glyph>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype k = 0; k < a.size(); ++k)
        if (a[k].dots != b[k].dots)
            return false;
    return true;
}

// Written as a table of the format and read back, the glyphs keep their dots.
void readsBackAs(const ReadResult& r, Format format) {
    TableOptions out;
    out.layout = r.layout.layout;
    out.format = format;
    out.index = IndexKind::None;
    const QByteArray table =
        WriteTable(r.glyphs, out, {QStringLiteral("f"), QStringLiteral("o")}, true);
    const ReadResult back = ReadCode(table, QStringLiteral("back"), r.layout);
    FUZZ_CHECK(sameDots(back.glyphs, r.glyphs));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the name (a .bin name reads any bytes as a binary table) and the
    // fallback size, so that one corpus reaches every reader.
    if (size < 1)
        return 0;
    const bool bin = data[0] & 1;
    const QString name = bin ? QStringLiteral("in.bin") : QStringLiteral("in.h");
    const ReadLayout fallback{1 + (data[0] >> 1 & 7), 1 + (data[0] >> 4 & 7), Layout::Row()};
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    ReadResult r;
    try {
        r = ReadCode(input, name, fallback);
    } catch (const Error& e) {
        FUZZ_CHECK(e.status == 1);
        FUZZ_CHECK(e.message.startsWith(name + QStringLiteral(": ")));
        return 0;
    }
    FUZZ_CHECK(!r.glyphs.isEmpty());
    // Padding bits of the input are not dots, so the first packing may clear them; from then on
    // a table packs back to the same bytes.
    const QByteArray table = packed(r);
    if (bin)
        FUZZ_CHECK(table.size() == input.size());
    FUZZ_CHECK(packed(ReadCode(table, QStringLiteral("again.bin"), r.layout)) == table);
    readsBackAs(r, Format::C);
    readsBackAs(r, Format::Hex);
    return 0;
}
