// The table readers against the size of their input: C with one initialiser a line, assembler,
// Intel HEX and a binary table, at 10,000, 40,000 and 100,000 glyphs. Time per glyph should
// stay flat as the count grows; peak memory is measured apart, with /usr/bin/time on
// pointillo decode.

#include "CodeReader.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pointillo;

const ReadLayout kEightByEight{8, 8, Layout::Row()};

// count C arrays of one 8 x 8 glyph each, one initialiser a line.
QByteArray cInitialisers(qsizetype count) {
    QByteArray c;
    for (qsizetype k = 0; k < count; ++k)
        c += "const unsigned char g" + QByteArray::number(k) +
             "[8] = {0x81,0xB1,0x55,0x08,0xFF,0x00,0x7E,0x3C};\n";
    return c;
}

QByteArray assembler(qsizetype count) {
    QByteArray s = "font:\n";
    for (qsizetype k = 0; k < count; ++k)
        s += "; U+" + QByteArray::number(0x4E00 + k % 0x5000, 16).toUpper() +
             "\n\tDB 81H,0B1H,55H,08H,0FFH,00H,7EH,3CH\n";
    return s;
}

QByteArray hexRecord(int type, unsigned address, const QByteArray& data) {
    QByteArray r;
    r += char(data.size());
    r += char(address >> 8 & 0xFF);
    r += char(address & 0xFF);
    r += char(type);
    r += data;
    quint8 sum = 0;
    for (char c : r)
        sum += quint8(c);
    return ':' + (r + char(quint8(-sum))).toHex().toUpper() + '\n';
}

QByteArray intelHex(qsizetype count) {
    const QByteArray glyph = QByteArray::fromHex("81B15508FF007E3C");
    QByteArray hex;
    for (qsizetype k = 0; k < count; ++k) {
        const auto address = unsigned(k * 8);
        if (address % 0x10000 == 0)
            hex += hexRecord(
                4, 0,
                QByteArray::fromHex(QByteArray::number(address >> 16, 16).rightJustified(4, '0')));
        hex += hexRecord(0, address & 0xFFFF, glyph);
    }
    return hex + hexRecord(1, 0, {});
}

void readAll(benchmark::State& state, const QByteArray& input, const QString& name) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCode(input, name, kEightByEight));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * input.size());
}

void BM_ReadCInitialisers(benchmark::State& state) {
    readAll(state, cInitialisers(state.range(0)), QStringLiteral("t.h"));
}
BENCHMARK(BM_ReadCInitialisers)
    ->Arg(10'000)
    ->Arg(40'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

void BM_ReadAssembler(benchmark::State& state) {
    readAll(state, assembler(state.range(0)), QStringLiteral("t.asm"));
}
BENCHMARK(BM_ReadAssembler)->Arg(10'000)->Arg(40'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ReadIntelHex(benchmark::State& state) {
    readAll(state, intelHex(state.range(0)), QStringLiteral("t.hex"));
}
BENCHMARK(BM_ReadIntelHex)->Arg(10'000)->Arg(40'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ReadBinary(benchmark::State& state) {
    readAll(state, QByteArray(state.range(0) * 8, '\x5A'), QStringLiteral("t.bin"));
}
BENCHMARK(BM_ReadBinary)->Arg(10'000)->Arg(40'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
