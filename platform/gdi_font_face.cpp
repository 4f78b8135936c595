#include "platform/gdi_font_face.h"

#include "platform/testing_font.h"
#include "platform/text_encoding.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

namespace {
// FreeType's library object and its faces are not thread-safe: every FreeType call goes through one
// lock. The kept fonts go before the library that made them.
struct FreeTypeState {
    std::mutex lock;
    FT_Library library = nullptr;
    std::mutex cacheLock;
    std::map<std::tuple<std::string, int, int>, std::shared_ptr<const platform::ScaledFont>> cache;

    FreeTypeState() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    ~FreeTypeState() {
        cache.clear();
        if (library) FT_Done_FreeType(library);
    }
};

FreeTypeState& State() {
    static FreeTypeState state;
    return state;
}

std::mutex& FreeTypeLock() {
    return State().lock;
}

// The sizes a message window asks for are few; beyond this many, fonts are made but not kept.
constexpr std::size_t kMaxCachedFonts = 32;
constexpr int kDefaultCellHeight = 16;
// Glyphs kept per font: the characters of a whole scenario fit; beyond that the cache starts again.
constexpr std::size_t kMaxCachedGlyphs = 4096;

std::mutex g_lookupLock;
std::string g_pinnedFile;
std::map<std::string, std::string> g_lookups;
// Glyphs a test gives in place of the face's own, placed at the top-left of the cell.
std::map<char32_t, platform::GlyphBitmap> g_TestGlyphs;

// "ＭＳ ゴシック" and the names that stand for the same face.
bool IsGothicAlias(const std::string& utf8) {
    return utf8 == "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF" ||
           utf8 == "MS Gothic" || utf8 == "MS \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
}

// fontconfig keeps its configuration until it is told to let go; that happens at exit.
bool InitFontconfig() {
    struct Holder {
        bool ready = FcInit() != 0;
        ~Holder() {
            if (ready) FcFini();
        }
    };
    static Holder holder;
    return holder.ready;
}

std::string LookUp(const std::string& family, bool gothic, bool fixedPitch, bool japanese) {
    if (!InitFontconfig()) return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    if (gothic) {
        // A Japanese monospaced Gothic: IPAGothic when installed, else whatever monospace face
        // fontconfig knows for Japanese.
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("IPAGothic"));
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
        japanese = true;
    } else {
        if (!family.empty())
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        if (fixedPitch) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    }
    if (japanese) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// Vertical metrics the way GDI sizes a cell: the Windows ascent and descent of the OS/2 table, or the
// horizontal header's when the face has none.
void CellMetrics(FT_Face face, double& ascentUnits, double& descentUnits) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    } else {
        ascentUnits = face->ascender;
        descentUnits = -face->descender;
    }
    if (ascentUnits + descentUnits <= 0) {
        ascentUnits = face->units_per_EM * 0.88;
        descentUnits = face->units_per_EM * 0.12;
    }
}

// Width of a half-width character in font units: the digit zero's advance, else half an em.
double HalfAdvanceUnits(FT_Face face) {
    const FT_UInt index = FT_Get_Char_Index(face, '0');
    if (index && FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) == 0 && face->glyph->advance.x > 0)
        return static_cast<double>(face->glyph->advance.x);
    return face->units_per_EM / 2.0;
}

// One row of a rendered bitmap, top row first whatever the bitmap's flow.
const unsigned char* BitmapRow(const FT_Bitmap& bitmap, int row) {
    if (bitmap.pitch >= 0) return bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    return bitmap.buffer + static_cast<std::ptrdiff_t>(bitmap.rows - 1 - row) * -bitmap.pitch;
}
} // namespace

namespace platform {
struct ScaledFont::Impl {
    FT_Face face = nullptr;
    mutable std::unordered_map<char32_t, std::shared_ptr<const GlyphBitmap>> glyphs;
};

ScaledFont::~ScaledFont() {
    if (m_Impl && m_Impl->face) {
        std::lock_guard<std::mutex> lock(FreeTypeLock());
        FT_Done_Face(m_Impl->face);
    }
}

std::shared_ptr<const ScaledFont> ScaledFont::Open(const std::string& file, int height, int halfWidth) {
    if (file.empty()) return nullptr;
    if (halfWidth < 0) halfWidth = -halfWidth;

    std::mutex& cacheLock = State().cacheLock;
    auto& cache = State().cache;
    const auto key = std::make_tuple(file, height, halfWidth);
    {
        std::lock_guard<std::mutex> lock(cacheLock);
        auto it = cache.find(key);
        if (it != cache.end()) return it->second;
    }

    std::shared_ptr<ScaledFont> font(new ScaledFont);
    font->m_File = file;
    font->m_Impl = std::make_unique<Impl>();
    {
        std::lock_guard<std::mutex> lock(FreeTypeLock());
        FT_Library library = State().library;
        if (!library || FT_New_Face(library, file.c_str(), 0, &font->m_Impl->face) != 0) {
            font->m_Impl->face = nullptr;
            return nullptr;
        }
        FT_Face face = font->m_Impl->face;
        if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;

        double ascentUnits = 0, descentUnits = 0;
        CellMetrics(face, ascentUnits, descentUnits);
        double yScale; // pixels per font unit
        if (height > 0) {
            font->m_CellHeight = height;
            yScale = height / (ascentUnits + descentUnits);
        } else {
            const int em = height < 0 ? -height : 0;
            if (em == 0) {
                font->m_CellHeight = kDefaultCellHeight;
                yScale = kDefaultCellHeight / (ascentUnits + descentUnits);
            } else {
                yScale = static_cast<double>(em) / face->units_per_EM;
                font->m_CellHeight = static_cast<int>(std::lround((ascentUnits + descentUnits) * yScale));
            }
        }
        font->m_Ascent = static_cast<int>(std::lround(ascentUnits * yScale));

        const double halfUnits = HalfAdvanceUnits(face);
        double xScale = yScale;
        if (halfWidth > 0) {
            font->m_HalfWidth = halfWidth;
            xScale = halfWidth / halfUnits;
        } else {
            font->m_HalfWidth = std::max(1, static_cast<int>(std::lround(halfUnits * yScale)));
        }
        const auto xPpem = static_cast<FT_F26Dot6>(std::lround(xScale * face->units_per_EM * 64.0));
        const auto yPpem = static_cast<FT_F26Dot6>(std::lround(yScale * face->units_per_EM * 64.0));
        if (FT_Set_Char_Size(face, std::max<FT_F26Dot6>(xPpem, 1), std::max<FT_F26Dot6>(yPpem, 1), 72, 72) !=
            0)
            return nullptr;
    }

    std::lock_guard<std::mutex> lock(cacheLock);
    if (cache.size() < kMaxCachedFonts) cache.emplace(key, font);
    return font;
}

std::shared_ptr<const GlyphBitmap> ScaledFont::Glyph(char32_t ch) const {
    {
        std::lock_guard<std::mutex> lock(g_lookupLock);
        auto test = g_TestGlyphs.find(ch);
        if (test != g_TestGlyphs.end()) {
            auto glyph = std::make_shared<GlyphBitmap>(test->second);
            glyph->top = m_Ascent;
            return glyph;
        }
    }
    std::lock_guard<std::mutex> lock(FreeTypeLock());
    auto it = m_Impl->glyphs.find(ch);
    if (it != m_Impl->glyphs.end()) return it->second;

    auto glyph = std::make_shared<GlyphBitmap>();
    FT_Face face = m_Impl->face;
    const FT_UInt index = FT_Get_Char_Index(face, ch);
    // GDI text at these sizes is not smoothed: one bit a pixel, hinted for it.
    if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0 &&
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        glyph->left = face->glyph->bitmap_left;
        glyph->top = face->glyph->bitmap_top;
        glyph->width = static_cast<int>(bitmap.width);
        glyph->rows = static_cast<int>(bitmap.rows);
        glyph->bits.assign(static_cast<std::size_t>(glyph->width) * glyph->rows, 0);
        for (int r = 0; r < glyph->rows; ++r) {
            const unsigned char* row = BitmapRow(bitmap, r);
            for (int c = 0; c < glyph->width; ++c) {
                bool lit;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    lit = (row[c >> 3] >> (7 - (c & 7))) & 1;
                else
                    lit = row[c] >= 128;
                glyph->bits[static_cast<std::size_t>(r) * glyph->width + c] = lit ? 1 : 0;
            }
        }
    }
    if (m_Impl->glyphs.size() >= kMaxCachedGlyphs) m_Impl->glyphs.clear();
    m_Impl->glyphs.emplace(ch, glyph);
    return glyph;
}

std::string FindFontFile(const char* faceNameSjis, bool fixedPitch, bool japanese) {
    std::lock_guard<std::mutex> lock(g_lookupLock);
    if (!g_pinnedFile.empty()) return g_pinnedFile;
    const std::string family = SjisToUtf8(faceNameSjis ? faceNameSjis : "");
    // A nameless request for a fixed-pitch Japanese font is what the program means by its Gothic.
    const bool gothic = IsGothicAlias(family) || (family.empty() && fixedPitch && japanese);
    const std::string key =
        (gothic ? std::string("gothic") : family + (fixedPitch ? "|fixed" : "|")) + (japanese ? "|ja" : "|");
    auto it = g_lookups.find(key);
    if (it != g_lookups.end()) return it->second;
    std::string file = LookUp(family, gothic, fixedPitch, japanese);
    g_lookups.emplace(key, file);
    return file;
}

namespace testing {
void UseFontFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_lookupLock);
    g_pinnedFile = path;
}

void UseTestGlyph(char32_t ch, int width, int rows, std::vector<std::uint8_t> bits) {
    std::lock_guard<std::mutex> lock(g_lookupLock);
    if (bits.empty() || width <= 0 || rows <= 0 || bits.size() < static_cast<std::size_t>(width) * rows) {
        g_TestGlyphs.erase(ch);
        return;
    }
    GlyphBitmap glyph;
    glyph.width = width;
    glyph.rows = rows;
    glyph.bits = std::move(bits);
    g_TestGlyphs[ch] = std::move(glyph);
}

void ClearTestGlyphs() {
    std::lock_guard<std::mutex> lock(g_lookupLock);
    g_TestGlyphs.clear();
}
} // namespace testing
} // namespace platform
