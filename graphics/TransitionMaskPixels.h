// The pixel work of the mask wipe: one scan of the area per alpha step, in the plain, keyed and vector
// forms. Each pixel has a mask entry (its level 0-255, or kMaskFinished) and an alpha entry.
#pragma once

#include "graphics/TransitionPixels.h"

namespace transition {
inline constexpr WORD kMaskFinished = 0xFFFF;

struct MaskScan {
    WORD* mask;     // entry of the area's first pixel
    WORD* alpha;    // the same for the alpha entries
    int stride;     // entries from one row to the next
    int level;      // pixels whose mask entry is at most this are active; 0-256
    int delta;      // alpha every active pixel gains in this scan, 1-256
    LONG remaining; // pixels of the area not yet finished
    LONG reached;   // pixels the level has reached, less those the 24-bit plain scan has finished
};

// Returns 1 when the last pixel of the area finished during the scan (the scan stops there), else 0.
// Active pixels gain delta; one that reaches 256 gets the after value and finishes, the others get
// blend(before, after, alpha entry). The 24-bit scan ends once it has handled `reached` active pixels.
int ScanMaskPlain(int format, const PixelArea& area, MaskScan& scan);
// As ScanMaskPlain without the bound; an active pixel of the key colour finishes at once, undrawn.
int ScanMaskKeyed(int format, const PixelArea& area, MaskScan& scan, ColorKey key);
// The vector path works on groups of 4 (16-bit), 8 (24-bit) or 2 (32-bit) pixels. A group that holds
// an active pixel is written whole: waiting pixels with their before value, finished ones with their
// after value, byte 3 of 32-bit pixels blended like a colour byte. A 24-bit group is written in 8-byte
// parts, only those that hold a byte of an active pixel, each byte blended with its pixel's alpha where
// 256 counts as 255. The scan stops after the group whose pixel ends the wipe. SSE2 where the build has
// it, else ScanMaskSimdTwin.
int ScanMaskSimd(int format, const PixelArea& area, MaskScan& scan);
// The scalar twin of ScanMaskSimd: the same bytes and entries on every machine.
int ScanMaskSimdTwin(int format, const PixelArea& area, MaskScan& scan);

// The group of the vector path starting at column x0 of row y, n pixels (the last group of a row may
// be shorter). Returns 1 when it finished the last pixel. Shared by the SSE2 form for its row ends.
int ScanMaskGroupTwin(int format, const PixelArea& area, MaskScan& scan, int y, int x0, int n);
inline int MaskGroupSize(int format) {
    return format == kFormat24 ? 8 : format == kFormat32 ? 2 : 4;
}
} // namespace transition
