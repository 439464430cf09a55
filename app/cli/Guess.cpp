#include "Guess.h"

#include "CharacterSet.h"
#include "Cli.h"
#include "CodeReader.h"
#include "GlyphMaker.h"
#include "LayoutGuess.h"
#include "PictureLoader.h"
#include "platform/PlatformError.h"

#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <cstdio>

namespace pointillo {

namespace {

// Runners-up after the best match, and pictures listed without one.
constexpr int kRunnersUp = 4;
constexpr int kPictures = 12;

[[noreturn]] void inputError(const QString& name, const QString& reason) {
    throw CliError{1, QStringLiteral("%1: %2").arg(name, reason)};
}

// A share in percent, rounded down so that only a full match reads 100.0.
QString percent(qint64 part, qint64 whole) {
    const double tenths = whole ? std::floor(1000.0 * double(part) / double(whole)) : 0.0;
    return QString::number(tenths / 10.0, 'f', 1);
}

// How the bytes are shared among the glyphs, when there are several.
QString share(qsizetype bytes, qsizetype glyphs) {
    return glyphs > 1 ? QStringLiteral(" (%1 bytes for %2 glyphs)").arg(bytes).arg(glyphs)
                      : QString();
}

QString sizeText(const DotMatrix& d) {
    return QStringLiteral("%1 x %2").arg(d.width).arg(d.height);
}

// Whether some layout the guess tries cuts bytes into whole glyphs of size, per glyph when
// perGlyph > 0, else in any count.
bool sizeFits(const QSize& size, qsizetype bytes, int perGlyph) {
    for (const int count : LayoutByteCounts(size.width(), size.height()))
        if (perGlyph > 0 ? count == perGlyph : count > 0 && bytes % count == 0)
            return true;
    return false;
}

// The sizes worth trying for bytes of unknown size: every glyph count that divides them.
QList<QSize> blindSizes(qsizetype bytes) {
    QList<QSize> sizes;
    QSet<QPair<int, int>> seen;
    const int most = LayoutByteCount(Layout::Row(), kGuessMaxSide, kGuessMaxSide) * 4;
    for (qsizetype count = 1; count <= bytes; ++count) {
        if (bytes % count != 0 || bytes / count > most)
            continue;
        for (const QSize& s : FittingSizes(int(bytes / count)))
            if (!seen.contains({s.width(), s.height()})) {
                seen.insert({s.width(), s.height()});
                sizes.append(s);
            }
    }
    return sizes;
}

QString pictures(const QList<DotMatrix>& glyphs, const QStringList& labels) {
    QString text;
    for (qsizetype k = 0; k < glyphs.size(); ++k) {
        if (glyphs.size() > 1)
            text += QStringLiteral("glyph %1%2\n").arg(k + 1).arg(labels.value(k));
        text += DotPicture(glyphs[k]);
    }
    return text;
}

void print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) !=
            std::size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        throw CliError{1, QStringLiteral("cannot write to standard output")};
}

int guessLike(const CliOptions& o, const QString& name, const QByteArray& bytes) {
    const QList<uint> cps = o.like.toUcs4();
    const qsizetype count = o.picture.isEmpty() ? cps.size() : 1;
    if (bytes.size() % count != 0)
        inputError(name, QStringLiteral("holds %1 bytes, which do not divide into %2 glyphs, one "
                                        "for each character of --like")
                             .arg(bytes.size())
                             .arg(count));
    const int per = int(bytes.size() / count);
    QList<QSize> sizes;
    if (o.sizeGiven) {
        const QSize size(o.glyph.width, o.glyph.height);
        if (!sizeFits(size, bytes.size(), per))
            inputError(name, QStringLiteral("no layout puts a %1 x %2 glyph in %3 bytes%4")
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(per)
                                 .arg(share(bytes.size(), count)));
        sizes.append(size);
    } else {
        sizes = FittingSizes(per);
        if (sizes.isEmpty())
            inputError(name, QStringLiteral("no glyph from %1 to %2 dots each way takes %3 "
                                            "bytes%4; give --lines and --rows")
                                 .arg(kGuessMinSide)
                                 .arg(kGuessMaxSide)
                                 .arg(per)
                                 .arg(share(bytes.size(), count)));
    }
    QImage picture;
    if (!o.picture.isEmpty()) {
        try {
            picture = LoadPicture(o.picture);
        } catch (const platform::PlatformError& e) {
            throw CliError{1, QStringLiteral("cannot read the picture %1: %2")
                                  .arg(o.picture, QString::fromStdString(e.what()))};
        }
    }
    QList<QList<DotMatrix>> expected;
    for (const QSize& size : sizes) {
        GlyphOptions g = o.glyph;
        g.width = size.width();
        g.height = size.height();
        const GlyphMaker maker(g);
        QList<DotMatrix> glyphs;
        if (!o.picture.isEmpty())
            glyphs.append(maker.MakePicture(picture, QFileInfo(o.picture).absoluteFilePath()).dots);
        else
            for (uint cp : cps)
                glyphs.append(maker.MakeCharacter(char32_t(cp)).dots);
        expected.append(glyphs);
    }
    const GuessResult result = GuessLike(bytes, expected, 1 + kRunnersUp);
    if (result.ranked.empty())
        inputError(name, QStringLiteral("no layout reads its %1 bytes").arg(bytes.size()));
    QStringList labels;
    for (uint cp : cps)
    {
        const char32_t c = char32_t(cp);
        labels << QLatin1Char(' ') + CodePointName(c) + QLatin1Char(' ') + QString::fromUcs4(&c, 1);
    }
    const GuessEntry& best = result.ranked.front();
    QString text = best.reading.name + QLatin1Char('\n');
    text += QStringLiteral("agreement %1 % (%2 of %3 dots), %4")
                .arg(percent(best.agree, best.dots))
                .arg(best.agree)
                .arg(best.dots)
                .arg(sizeText(best.glyphs.first()));
    if (best.strayBits)
        text += QStringLiteral(", %1 set padding bits").arg(best.strayBits);
    text += QLatin1Char('\n') + pictures(best.glyphs, labels);
    for (std::size_t k = 1; k < result.ranked.size(); ++k) {
        const GuessEntry& e = result.ranked[k];
        text += QStringLiteral("runner-up: %1 %2 % (%3 of %4 dots), %5\n")
                    .arg(e.reading.name, percent(e.agree, e.dots))
                    .arg(e.agree)
                    .arg(e.dots)
                    .arg(sizeText(e.glyphs.first()));
    }
    print(text);
    return 0;
}

int guessBlind(const CliOptions& o, const QString& name, const QByteArray& bytes) {
    QList<QSize> sizes;
    if (o.sizeGiven) {
        const QSize size(o.glyph.width, o.glyph.height);
        if (!sizeFits(size, bytes.size(), 0))
            inputError(name, QStringLiteral("no layout cuts its %1 bytes into whole %2 x %3 glyphs")
                                 .arg(bytes.size())
                                 .arg(size.width())
                                 .arg(size.height()));
        sizes.append(size);
    } else {
        sizes = blindSizes(bytes.size());
        if (sizes.isEmpty())
            inputError(name, QStringLiteral("no glyph from %1 to %2 dots each way fills its %3 "
                                            "bytes; give --lines and --rows")
                                 .arg(kGuessMinSide)
                                 .arg(kGuessMaxSide)
                                 .arg(bytes.size()));
    }
    const GuessResult result = GuessBlind(bytes, sizes, kPictures);
    QString text;
    for (const GuessEntry& e : result.ranked) {
        const int per = e.reading.plan.ByteCount();
        const qsizetype count = bytes.size() / per;
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += e.reading.name + QLatin1Char('\n');
        text += QStringLiteral("oddness %1, %2, %3 %4")
                    .arg(QString::number(e.oddness, 'f', 3), sizeText(e.glyphs.first()))
                    .arg(count)
                    .arg(count == 1 ? QStringLiteral("glyph") : QStringLiteral("glyphs"));
        if (count > qsizetype(e.glyphs.size()))
            text += QStringLiteral(", the first %1 shown").arg(e.glyphs.size());
        if (e.strayBits)
            text += QStringLiteral(", %1 set padding bits").arg(e.strayBits);
        text += QLatin1Char('\n') + pictures(e.glyphs, {});
    }
    text += QStringLiteral("\nshown %1 of %2 distinct pictures, the most glyph-like first (%3 "
                           "distinct layouts and sizes tried)\n")
                .arg(result.ranked.size())
                .arg(result.pictures)
                .arg(result.readings);
    print(text);
    return 0;
}

} // namespace

int RunGuess(const CliOptions& o) {
    const QString name = o.input == QLatin1String("-") ? QStringLiteral("standard input") : o.input;
    const QByteArray data = ReadInput(o.input);
    const CodeBytes read = ReadCodeBytes(data, name);
    if (read.bytes.isEmpty())
        inputError(name, QStringLiteral("holds no glyph bytes"));
    // A table that names its size need not be searched for one.
    CliOptions sized = o;
    if (!o.sizeGiven && read.tagged && data.contains("pointillo table: lines=")) {
        sized.sizeGiven = true;
        sized.glyph.width = read.tagged->width;
        sized.glyph.height = read.tagged->height;
    }
    if (!o.like.isEmpty() || !o.picture.isEmpty())
        return guessLike(sized, name, read.bytes);
    return guessBlind(sized, name, read.bytes);
}

} // namespace pointillo
