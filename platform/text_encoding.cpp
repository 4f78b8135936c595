#include "platform/text_encoding.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace {
// Converts with iconv, replacing what cannot be converted; iconv handles are not thread-safe, so each
// conversion opens its own.
std::string Convert(const char* to, const char* from, const std::string& in, const std::string& replacement,
                    std::size_t unitSize) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip one unit of input and mark it.
            out += replacement;
            std::size_t skip = unitSize < srcLeft ? unitSize : srcLeft;
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
} // namespace

namespace platform {
std::string SjisToUtf8(const std::string& sjis) {
    return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", 1);
}

std::u32string SjisToUtf32(const std::string& sjis) {
    std::string bytes = Convert("UTF-32LE", "CP932", sjis, std::string("\xFD\xFF\x00\x00", 4), 1);
    std::u32string out(bytes.size() / 4, U'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        out[i] =
            static_cast<char32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24));
    }
    return out;
}

std::vector<std::string> Utf8ToSjisChars(const std::string& utf8) {
    std::vector<std::string> chars;
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return chars;
    std::size_t at = 0;
    while (at < utf8.size()) {
        // The lead byte tells the sequence's length; a stray continuation byte stands alone.
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (len > utf8.size() - at) len = utf8.size() - at;
        char* src = const_cast<char*>(utf8.data() + at);
        std::size_t srcLeft = len;
        char buf[8];
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (rc == static_cast<std::size_t>(-1) || srcLeft != 0) {
            chars.emplace_back();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            chars.emplace_back(buf, static_cast<std::size_t>(dst - buf));
        }
        at += len;
    }
    iconv_close(cd);
    return chars;
}

std::string Utf8ToSjis(const std::string& utf8) {
    std::string out;
    for (const std::string& c : Utf8ToSjisChars(utf8))
        out += c;
    return out;
}
} // namespace platform

namespace {
// Decodes UTF-8; a byte that does not begin a well-formed sequence becomes U+FFFD.
std::u32string Utf8ToUtf32(const std::string& in) {
    std::u32string out;
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned char lead = static_cast<unsigned char>(in[i]);
        const int len = lead < 0x80         ? 1
                        : (lead >> 5) == 6  ? 2
                        : (lead >> 4) == 14 ? 3
                        : (lead >> 3) == 30 ? 4
                                            : 0;
        char32_t c = len == 1 ? lead : len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= in.size();
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char b = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            ok = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += c;
        i += static_cast<std::size_t>(len);
    }
    return out;
}
} // namespace

int MultiByteToWideChar(unsigned codePage, unsigned long, const char* text, int bytes, wchar_t* wide,
                        int wideChars) {
    if (!text || bytes == 0 || bytes < -1 || wideChars < 0 || (wideChars > 0 && !wide)) return 0;
    const std::size_t length =
        bytes == -1 ? std::char_traits<char>::length(text) : static_cast<std::size_t>(bytes);
    const std::string in(text, length);
    std::u32string out;
    if (codePage == CP_SJIS)
        out = platform::SjisToUtf32(in);
    else if (codePage == CP_ACP || codePage == CP_UTF8)
        out = Utf8ToUtf32(in);
    else
        return 0;
    if (bytes == -1) out += U'\0';
    const int needed = static_cast<int>(out.size());
    if (wideChars == 0) return needed;
    if (needed > wideChars) return 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        wide[i] = static_cast<wchar_t>(out[i]);
    return needed;
}
