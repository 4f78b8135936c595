// The vector forms of the cross-fade blend and of the mask-wipe scan, written once over the lane
// operations of TransitionPixelsLanes.h. This file is included once per processor level, each time in a
// namespace of its own, after defining:
//   L                  the lanes of the level (transition::lanes::Sse2, Ssse3 or Avx2);
//   QUORIN_LEVEL       the attribute of every function here: the level's target;
//   QUORIN_LEVEL_POPCNT when the level counts bits with the popcnt instruction.
// Every lane computes before + floor(alpha x (after - before) / 256) as the scalar blend does, so each
// level gives the bytes of the scalar twins. No include guard: the repetition is the point.

using V = L::V;

// Bytes blended one by one, each with the alpha of the 16-bit lane it sits in. Even and odd bytes are
// taken apart with masks and shifts: the low 16 bits of difference x alpha, shifted right by 8, hold the
// (wrapped) change of an even byte; for an odd byte the same bits are already in the lane's high byte.
// Adding the changes byte-wise with wrap-around lands on the exact result.
QUORIN_LEVEL inline V BlendBytes(V a, V b, V alpha) {
    const V low = L::Set16(0x00FF);
    const V even = L::Sub16(L::And(b, low), L::And(a, low));
    const V odd = L::Sub16(L::Srli16<8>(b), L::Srli16<8>(a));
    const V evenChange = L::Srli16<8>(L::MulLo16(even, alpha));
    const V oddChange = L::AndNot(low, L::MulLo16(odd, alpha));
    return L::Add8(a, L::Or(evenChange, oddChange));
}

// 16-bit pixels, each blended with the alpha of its lane; alpha8 is alpha x 8 and alphaRed alpha x 2^(red
// shift - 8). Blue and green get signed changes: blue from the low half of d x alpha, exact in 16 bits,
// shifted right arithmetically by 8; green from the high half of (d x 32) x (alpha x 8). Red, the top
// field, needs only its own bits: the low 16 bits of d x alpha x 2^(shift - 8) hold the change at the
// field's place, and what carries past bit 15 is lost. Each field lands within itself, so the changes
// add to the before pixel without disturbing a neighbour.
template <bool Is565> QUORIN_LEVEL inline V Blend16(V a, V b, V alpha, V alpha8, V alphaRed) {
    const V blueMask = L::Set16(0x001F);
    const V dBlue = L::Sub16(L::And(b, blueMask), L::And(a, blueMask));
    const V blue = L::Srai16<8>(L::MulLo16(dBlue, alpha));
    const V greenMask = L::Set16(Is565 ? 0x07E0 : 0x03E0);
    const V dGreen = L::Sub16(L::And(b, greenMask), L::And(a, greenMask));
    const V green = L::Slli16<5>(L::MulHi16(dGreen, alpha8));
    constexpr int kRedShift = Is565 ? 11 : 10;
    V bRed = L::Srli16<kRedShift>(b), aRed = L::Srli16<kRedShift>(a);
    if constexpr (!Is565) { // bit 15 of a 5-5-5 pixel is no part of red
        bRed = L::And(bRed, blueMask);
        aRed = L::And(aRed, blueMask);
    }
    const V dRed = L::Sub16(bRed, aRed);
    const V red = L::And(L::MulLo16(dRed, alphaRed), L::Set16(Is565 ? 0xF800 : 0x7C00));
    const V result = L::Add16(L::Add16(a, L::Add16(blue, green)), red);
    // A carry out of a 5-5-5 red lands in bit 15, which is written as 0.
    return Is565 ? result : L::And(result, L::Set16(0x7FFF));
}

template <bool Is565> QUORIN_LEVEL inline V Blend16(V a, V b, V alpha) {
    const V alpha8 = L::Slli16<3>(alpha);
    return Blend16<Is565>(a, b, alpha, alpha8, Is565 ? alpha8 : L::Slli16<2>(alpha));
}

// ---- Cross-fade: the whole area at one alpha.

template <bool Is565>
QUORIN_LEVEL inline int FadeRow16(const BYTE* a, const BYTE* b, BYTE* d, int rowBytes, V alpha) {
    const V alpha8 = L::Slli16<3>(alpha);
    const V alphaRed = Is565 ? alpha8 : L::Slli16<2>(alpha);
    int done = 0;
    for (; done + L::kBytes <= rowBytes; done += L::kBytes)
        L::Store(d + done, Blend16<Is565>(L::Load(a + done), L::Load(b + done), alpha, alpha8, alphaRed));
    return done;
}

QUORIN_LEVEL inline int FadeRowBytes(const BYTE* a, const BYTE* b, BYTE* d, int rowBytes, V alpha) {
    int done = 0;
    for (; done + L::kBytes <= rowBytes; done += L::kBytes)
        L::Store(d + done, BlendBytes(L::Load(a + done), L::Load(b + done), alpha));
    return done;
}

QUORIN_LEVEL inline void FadeArea(int format, const PixelArea& area, int alpha) {
    const V alphas = L::Set16(alpha);
    const int bpp = BytesPerPixel(format);
    const int rowBytes = area.width * bpp;
    for (int y = 0; y < area.height; ++y) {
        const BYTE* a = area.before + std::ptrdiff_t{y} * area.beforePitch;
        const BYTE* b = area.after + std::ptrdiff_t{y} * area.afterPitch;
        BYTE* d = area.draw + std::ptrdiff_t{y} * area.drawPitch;
        int done = 0;
        if (format == kFormat24 || format == kFormat32)
            done = FadeRowBytes(a, b, d, rowBytes, alphas);
        else if (format == kFormat16)
            done = FadeRow16<true>(a, b, d, rowBytes, alphas);
        else
            done = FadeRow16<false>(a, b, d, rowBytes, alphas);
        // The rest of the row, shorter than one vector: byte by byte for 24- and 32-bit pixels (a 24-bit
        // rest need not hold whole pixels), pixel by pixel for 16-bit ones.
        if (format == kFormat24 || format == kFormat32) {
            for (; done < rowBytes; ++done)
                d[done] = static_cast<BYTE>(BlendChannel(a[done], b[done], alpha));
        } else if (done < rowBytes) {
            const PixelArea rest{a + done, 0, b + done, 0, d + done, 0, (rowBytes - done) / bpp, 1};
            BlendSimdTwin(format, rest, alpha);
        }
    }
}

// ---- Mask wipe: a scan of the mask entries, blending only where a pixel is active.

QUORIN_LEVEL inline int CountBits(unsigned v) {
#if defined(QUORIN_LEVEL_POPCNT)
    return __builtin_popcount(v);
#else
    // Without the instruction the compiler would call a library routine here.
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    v = (v + (v >> 4)) & 0x0F0F0F0Fu;
    return static_cast<int>((v * 0x01010101u) >> 24);
#endif
}

// What MoveMask8 gives when every byte of the vector has its top bit set.
inline constexpr unsigned kEveryByte = L::kBytes == 32 ? ~0u : (1u << L::kBytes) - 1u;

// One bit for each run of `bitsPerPart` bits of a byte mask with any bit set: which 8-byte parts of a
// vector of pixels hold an active pixel.
QUORIN_LEVEL inline unsigned PartsOf(unsigned bits, int bitsPerPart) {
    constexpr int kParts = L::kBytes / 8; // 8-byte parts to a vector of pixels
    const unsigned all = bitsPerPart * kParts >= 32 ? ~0u : (1u << (bitsPerPart * kParts)) - 1u;
    if (bits == all) return (1u << kParts) - 1u;
    const unsigned partMask = (1u << bitsPerPart) - 1u;
    unsigned parts = 0;
    for (int k = 0; bits; ++k, bits >>= bitsPerPart)
        if (bits & partMask) parts |= 1u << k;
    return parts;
}

// Whether any entry of the four vectors of mask entries at `mask` is at most the level: entry minus
// level, saturated at 0, is 0 just for such an entry. The bytewise minimum over the four vectors keeps a
// zero lane zero; it can also make a zero of two lanes that are not (the zero high byte of one, the zero
// low byte of another), so it may report four vectors without an active entry, which the test of each
// vector then finds. Waiting and finished stretches of the screen thus cost one test for four vectors.
QUORIN_LEVEL inline bool AnyActive(const WORD* mask, V level) {
    constexpr int n = L::kBytes / 2;
    const V m0 = L::SubsU16(L::Load(mask), level), m1 = L::SubsU16(L::Load(mask + n), level);
    const V m2 = L::SubsU16(L::Load(mask + 2 * n), level), m3 = L::SubsU16(L::Load(mask + 3 * n), level);
    const V least = L::MinU8(L::MinU8(m0, m1), L::MinU8(m2, m3));
    return L::MoveMask8(L::CmpEq16(least, L::Zero())) != 0;
}

// Blends the active groups of one vector's pixels and writes them whole; `bits` has two bits for each
// active pixel. (Ln is L; as a parameter it leaves the 24-bit operations, which only the 16-byte lanes
// have, to be looked up where 24-bit pixels are scanned.)
template <int Format, class Ln = L>
[[gnu::always_inline]] QUORIN_LEVEL inline void BlendActive(const BYTE* a, const BYTE* b, BYTE* d, V alpha,
                                                            unsigned bits) {
    if constexpr (Format == kFormat32) {
        // Twice as many bytes of pixels as of entries: two vectors, 2 pixels (4 bits) to a group.
        V first, second;
        L::PixelAlphas32(alpha, first, second);
        if (bits == kEveryByte) { // the inside of a wipe's edge: every pixel active
            L::Store(d, BlendBytes(L::Load(a), L::Load(b), first));
            L::Store(d + L::kBytes, BlendBytes(L::Load(a + L::kBytes), L::Load(b + L::kBytes), second));
            return;
        }
        const unsigned half = L::kBytes / 2;
        const unsigned low = bits & ((1u << half) - 1u), high = bits >> half;
        if (low) L::StoreParts(d, BlendBytes(L::Load(a), L::Load(b), first), PartsOf(low, 4));
        if (high)
            L::StoreParts(d + L::kBytes, BlendBytes(L::Load(a + L::kBytes), L::Load(b + L::kBytes), second),
                          PartsOf(high, 4));
    } else if constexpr (Format == kFormat24) {
        // 8 pixels in three 8-byte parts: pixels 0-2, 2-5 and 5-7 own bytes of them. A finished pixel's
        // 256 is entered as 255.
        V alphas[3];
        Ln::ByteAlphas24(L::Min16(alpha, L::Set16(255)), alphas);
        constexpr unsigned kPartBits[3] = {0x003F, 0x0FF0, 0xFC00};
        for (int part = 0; part < 3; ++part)
            if (bits & kPartBits[part])
                Ln::Store8(d + 8 * part,
                           Ln::BlendPart8(Ln::Load8(a + 8 * part), Ln::Load8(b + 8 * part), alphas[part]));
    } else {
        // 4 pixels (8 bits) to a group.
        const V r = Blend16<Format == kFormat16>(L::Load(a), L::Load(b), alpha);
        L::StoreParts(d, r, PartsOf(bits, 8));
    }
}

// The pixels of one vector of entries: their alpha gains delta where they are active, those that reach
// 256 finish, and their groups are blended. True when the last pixel of the area finished here. The mask
// entries are written only where a pixel finishes.
template <int Format>
[[gnu::always_inline]] QUORIN_LEVEL inline bool
ScanVector(WORD* mask, WORD* alpha, const BYTE* a, const BYTE* b, BYTE* d, V level, V delta, MaskScan& s) {
    const V m = L::Load(mask);
    const V active = L::CmpEq16(L::SubsU16(m, level), L::Zero());
    const unsigned bits = L::MoveMask8(active);
    if (!bits) return false;
    V newAlpha = L::Add16(L::Load(alpha), L::And(active, delta));
    const V finished = L::And(active, L::CmpGt16(newAlpha, L::Set16(255)));
    const unsigned finishedBits = L::MoveMask8(finished);
    if (finishedBits) {
        L::Store(mask, L::Or(m, finished));
        newAlpha = L::Or(L::And(finished, L::Set16(256)), L::AndNot(finished, newAlpha));
        // When these pixels end the wipe, every later pixel has finished already: the groups after
        // this one hold no active pixel and would not be written.
        s.remaining -= CountBits(finishedBits) / 2;
    }
    L::Store(alpha, newAlpha);
    BlendActive<Format>(a, b, d, newAlpha, bits);
    return finishedBits && s.remaining <= 0;
}

template <int Format> QUORIN_LEVEL inline int ScanArea(const PixelArea& area, MaskScan& s) {
    constexpr int bpp = Format == kFormat24 ? 3 : Format == kFormat32 ? 4 : 2;
    constexpr int n = L::kBytes / 2; // pixels to a vector of entries
    const V level = L::Set16(s.level);
    const V delta = L::Set16(s.delta);
    const int group = MaskGroupSize(Format);
    for (int y = 0; y < area.height; ++y) {
        WORD* mask = s.mask + std::ptrdiff_t{y} * s.stride;
        WORD* alpha = s.alpha + std::ptrdiff_t{y} * s.stride;
        const BYTE* a = area.before + std::ptrdiff_t{y} * area.beforePitch;
        const BYTE* b = area.after + std::ptrdiff_t{y} * area.afterPitch;
        BYTE* d = area.draw + std::ptrdiff_t{y} * area.drawPitch;
        int x = 0;
        for (; x + 4 * n <= area.width; x += 4 * n) {
            if (!AnyActive(mask + x, level)) continue;
            for (int i = x; i < x + 4 * n; i += n)
                if (ScanVector<Format>(mask + i, alpha + i, a + i * bpp, b + i * bpp, d + i * bpp, level,
                                       delta, s))
                    return 1;
        }
        for (; x + n <= area.width; x += n)
            if (ScanVector<Format>(mask + x, alpha + x, a + x * bpp, b + x * bpp, d + x * bpp, level, delta,
                                   s))
                return 1;
        for (; x < area.width; x += group) {
            const int count = area.width - x < group ? area.width - x : group;
            if (ScanMaskGroupTwin(Format, area, s, y, x, count)) return 1;
        }
    }
    return 0;
}
