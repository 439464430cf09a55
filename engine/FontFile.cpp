#include "FontFile.h"

#include "Error.h"

#include <QFile>
#include <QFont>
#include <QHash>
#include <QStringList>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace pointillo {

namespace {

// GNU Unifont's glyphs are 16 rows with the baseline two rows above the bottom.
constexpr int kUnifontHeight = 16;
constexpr int kUnifontAscent = 14;
// A .hex file larger than every Unifont release by far is no .hex file.
constexpr qint64 kMaxHexBytes = 64 * 1024 * 1024;

int rounded26d6(long value) {
    return int((value + 32) >> 6);
}

} // namespace

class FontFile::Source {
public:
    virtual ~Source() = default;
    virtual FontBitmap Render(char32_t cp) const = 0;
    virtual int Ascent() const = 0;
    virtual int PixelSize() const = 0;
    virtual QString Name() const = 0;
};

namespace {

// Unifont's .hex: "4E2D:0100..." a line, the rows top to bottom, left dot in the high bit.
class HexSource : public FontFile::Source {
public:
    HexSource(const QString& path, int pixelSize, bool pixelSizeGiven) : m_path(path) {
        if (pixelSizeGiven && pixelSize != kUnifontHeight)
            throw Error{2, QStringLiteral("%1 has only a %2 px strike, not %3 px")
                               .arg(path)
                               .arg(kUnifontHeight)
                               .arg(pixelSize)};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error{1, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
        if (file.size() > kMaxHexBytes)
            throw Error{1, QStringLiteral("%1 is larger than a .hex font can be (%2 MB)")
                               .arg(path)
                               .arg(kMaxHexBytes >> 20)};
        const QByteArray data = file.read(kMaxHexBytes + 1);
        int lineNo = 0;
        for (const QByteArray& raw : data.split('\n')) {
            ++lineNo;
            const QByteArray line = raw.trimmed();
            if (line.isEmpty())
                continue;
            readLine(line, lineNo);
        }
        if (m_rows.isEmpty())
            throw Error{1, QStringLiteral("%1 holds no Unifont .hex glyph").arg(path)};
    }

    FontBitmap Render(char32_t cp) const override {
        FontBitmap b;
        const auto found = m_rows.constFind(cp);
        if (found == m_rows.cend()) {
            b.missing = true;
            b.pixels = DotMatrix(0, 0);
            return b;
        }
        const QByteArray& bits = *found;
        const int width = int(bits.size()) * 8 / kUnifontHeight;
        b.pixels = DotMatrix(width, kUnifontHeight);
        for (int y = 0; y < kUnifontHeight; ++y)
            for (int x = 0; x < width; ++x) {
                const auto byte = quint8(bits[y * (width / 8) + x / 8]);
                b.pixels.Set(x, y, (byte >> (7 - x % 8)) & 1);
            }
        b.left = 0;
        b.top = kUnifontAscent;
        b.advance = width;
        return b;
    }

    int Ascent() const override { return kUnifontAscent; }
    int PixelSize() const override { return kUnifontHeight; }
    QString Name() const override { return QStringLiteral("GNU Unifont .hex (%1)").arg(m_path); }

private:
    void readLine(const QByteArray& line, int lineNo) {
        const qsizetype colon = line.indexOf(':');
        bool codeOk = false;
        const uint cp = colon > 0 && colon <= 8 ? line.left(colon).toUInt(&codeOk, 16) : 0;
        const QByteArray digits = line.mid(colon + 1);
        // Two, four, six or eight hex digits a row: 8 to 32 dots across.
        const bool sized = digits.size() % 32 == 0 && digits.size() >= 32 && digits.size() <= 128;
        const bool hex = std::all_of(digits.begin(), digits.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        });
        if (!codeOk || cp > 0x10FFFF || !sized || !hex)
            throw Error{1, QStringLiteral("%1: line %2 is not a Unifont .hex glyph (CODE:HEX)")
                               .arg(m_path)
                               .arg(lineNo)};
        m_rows.insert(char32_t(cp), QByteArray::fromHex(digits));
    }

    QString m_path;
    QHash<char32_t, QByteArray> m_rows;
};

class FreeTypeSource : public FontFile::Source {
public:
    FreeTypeSource(const QString& path, int faceIndex, int pixelSize, bool pixelSizeGiven)
        : m_path(path) {
        if (FT_Init_FreeType(&m_library) != 0)
            throw Error{1, QStringLiteral("FreeType cannot start")};
        if (!QFile::exists(path)) {
            FT_Done_FreeType(m_library);
            throw Error{1, QStringLiteral("cannot read %1: no such file").arg(path)};
        }
        const FT_Error opened =
            FT_New_Face(m_library, QFile::encodeName(path).constData(), faceIndex, &m_face);
        if (opened != 0) {
            FT_Done_FreeType(m_library);
            throw Error{opened == FT_Err_Invalid_Argument ? 2 : 1,
                        faceIndex > 0
                            ? QStringLiteral("%1 has no face %2 (or is not a font "
                                             "FreeType can read)")
                                  .arg(path)
                                  .arg(faceIndex)
                            : QStringLiteral("%1 is not a font FreeType can read").arg(path)};
        }
        try {
            size(pixelSize, pixelSizeGiven);
        } catch (...) {
            FT_Done_Face(m_face);
            FT_Done_FreeType(m_library);
            throw;
        }
    }

    ~FreeTypeSource() override {
        FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
    }

    FontBitmap Render(char32_t cp) const override {
        FontBitmap b;
        const FT_UInt index = FT_Get_Char_Index(m_face, FT_ULong(cp));
        b.missing = index == 0;
        if (b.missing || FT_Load_Glyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
            b.missing = true;
            return b;
        }
        const FT_GlyphSlot slot = m_face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        b.pixels = DotMatrix(int(bitmap.width), int(bitmap.rows));
        for (int y = 0; y < int(bitmap.rows); ++y) {
            const unsigned char* row = bitmap.buffer + qsizetype(y) * bitmap.pitch;
            for (int x = 0; x < int(bitmap.width); ++x) {
                const bool lit = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                     ? (row[x / 8] >> (7 - x % 8)) & 1
                                     : row[x] >= 128;
                b.pixels.Set(x, y, lit);
            }
        }
        b.left = slot->bitmap_left;
        b.top = slot->bitmap_top;
        b.advance = rounded26d6(slot->advance.x);
        return b;
    }

    int Ascent() const override { return rounded26d6(m_face->size->metrics.ascender); }
    int PixelSize() const override { return m_pixelSize; }
    QString Name() const override {
        return QStringLiteral("%1 %2 (%3)")
            .arg(QString::fromUtf8(m_face->family_name ? m_face->family_name : "?"),
                 QString::fromUtf8(m_face->style_name ? m_face->style_name : ""), m_path);
    }

private:
    void size(int pixelSize, bool pixelSizeGiven) {
        if (FT_IS_SCALABLE(m_face)) {
            if (FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(pixelSize)) != 0)
                throw Error{
                    2, QStringLiteral("%1 cannot be drawn at %2 px").arg(m_path).arg(pixelSize)};
            m_pixelSize = pixelSize;
            return;
        }
        QStringList strikes;
        int chosen = -1;
        for (int k = 0; k < m_face->num_fixed_sizes; ++k) {
            // A strike's pixel size is its em (y_ppem); its height also counts the line gap.
            const FT_Bitmap_Size& strike = m_face->available_sizes[k];
            const int px = strike.y_ppem > 0 ? rounded26d6(strike.y_ppem) : strike.height;
            strikes << QString::number(px);
            if (px == pixelSize)
                chosen = k;
        }
        if (chosen < 0 && m_face->num_fixed_sizes == 1 && !pixelSizeGiven)
            chosen = 0;
        if (chosen < 0 || FT_Select_Size(m_face, chosen) != 0)
            throw Error{2, QStringLiteral("%1 has no %2 px strike; it has %3 px")
                               .arg(m_path)
                               .arg(pixelSize)
                               .arg(strikes.isEmpty() ? QStringLiteral("no")
                                                      : strikes.join(QStringLiteral(", ")))};
        const FT_Bitmap_Size& strike = m_face->available_sizes[chosen];
        m_pixelSize = strike.y_ppem > 0 ? rounded26d6(strike.y_ppem) : strike.height;
    }

    QString m_path;
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    int m_pixelSize = 0;
};

} // namespace

FontFile::FontFile(const QString& path, int faceIndex, int pixelSize, bool pixelSizeGiven) {
    if (path.endsWith(QLatin1String(".hex"), Qt::CaseInsensitive))
        m_source = std::make_unique<HexSource>(path, pixelSize, pixelSizeGiven);
    else
        m_source = std::make_unique<FreeTypeSource>(path, faceIndex, pixelSize, pixelSizeGiven);
}

FontFile::~FontFile() = default;

FontBitmap FontFile::Render(char32_t cp) const {
    return m_source->Render(cp);
}

int FontFile::Ascent() const {
    return m_source->Ascent();
}

int FontFile::PixelSize() const {
    return m_source->PixelSize();
}

QString FontFile::Name() const {
    return m_source->Name();
}

int BaselineLine(int ascent, const Placement& placement, int height) {
    switch (placement.fit) {
    case Placement::Fit::Font:
        return ascent;
    case Placement::Fit::Baseline:
        return placement.baseline;
    case Placement::Fit::Center:
        break;
    }
    return std::min(ascent, height);
}

DotMatrix PlaceBitmap(const FontBitmap& bitmap, int ascent, const Placement& placement, int width,
                      int height, int* lostInk) {
    const DotMatrix& p = bitmap.pixels;
    int left = bitmap.left;
    int top = BaselineLine(ascent, placement, height) - bitmap.top;
    if (placement.fit == Placement::Fit::Center) {
        int x0 = p.width, y0 = p.height, x1 = -1, y1 = -1;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (p.At(x, y)) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        // Floor division: an odd remainder leaves the extra dot at the right and bottom.
        const auto half = [](int n) { return n >= 0 ? n / 2 : -((-n + 1) / 2); };
        left = x1 < 0 ? 0 : half(width - (x1 - x0 + 1)) - x0;
        top = y1 < 0 ? 0 : half(height - (y1 - y0 + 1)) - y0;
    }
    DotMatrix dots(width, height);
    int lost = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            if (!p.At(x, y))
                continue;
            const int column = left + x;
            const int line = top + y;
            if (column >= 0 && column < width && line >= 0 && line < height)
                dots.Set(column, line, true);
            else
                ++lost;
        }
    if (lostInk)
        *lostInk = lost;
    return dots;
}

FontLocation LocateFont(const QString& family, bool bold, bool italic, int pixelSize) {
    // The window's names for the Chinese system faces resolve to the faces that stand in for
    // them, as Qt resolves them for the sampled source.
    QStringList families = QFont::substitutes(family);
    families.prepend(family);
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return {};
    FontLocation location;
    for (const QString& name : families) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(name.toUtf8().constData()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        int index = 0;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            // fontconfig always answers with some face; only a face of the family counts,
            // unless nothing better is found.
            const bool same = QString::fromUtf8(reinterpret_cast<const char*>(matchedFamily))
                                  .compare(name, Qt::CaseInsensitive) == 0;
            if (same || location.path.isEmpty())
                location = {QString::fromUtf8(reinterpret_cast<const char*>(file)), index};
            if (same) {
                FcPatternDestroy(match);
                FcPatternDestroy(pattern);
                break;
            }
        }
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return location;
}

} // namespace pointillo
