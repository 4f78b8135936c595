// Runs every read a picture reader offers over one input, through a stdio stream as the archives hand
// pictures out.
#pragma once

#include "graphics/AmFile.h"

#include <cstdio>
#include <memory>
#include <vector>

inline void FuzzPictureReader(CBmpFile& reader, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    std::vector<std::uint8_t> copy(data, data + size);
    std::FILE* fp = fmemopen(copy.data(), copy.size(), "rb");
    if (!fp) return;
    PictureInfo info;
    if (reader.ReadHeader(fp, &info, FALSE)) {
        reader.GetImageSize(fp, TRUE, FALSE);
        reader.GetLineSize(fp, FALSE, FALSE);
        reader.GetLinePadding(fp, FALSE);
        std::vector<RGBQUAD> palette(info.paletteEntries + 1);
        reader.ReadPalette(fp, palette.data(), static_cast<int>(info.paletteEntries), FALSE);
        const DWORD padded = reader.GetImageSize(&info, FALSE);
        // Left unfilled: large pictures cost no time until they are read.
        std::unique_ptr<BYTE[]> bits(new BYTE[padded]);
        reader.ReadBits(fp, bits.get(), padded, FALSE, FALSE);
        reader.ReadBits(fp, bits.get(), padded, TRUE, FALSE);
        for (BOOL packed : {FALSE, TRUE}) {
            BYTE* pixels = nullptr;
            RGBQUAD* colours = nullptr;
            if (reader.LoadImage(fp, &pixels, packed, &colours, FALSE)) {
                // Every byte handed out was written: reading them all must be clean.
                volatile unsigned sum = 0;
                for (DWORD i = 0; i < reader.GetImageSize(&info, packed); ++i)
                    sum = sum + pixels[i];
            }
            delete[] pixels;
            delete[] colours;
            if (auto* am = dynamic_cast<CAmFile*>(&reader)) am->FreePlane();
        }
        if (auto* am = dynamic_cast<CAmFile*>(&reader)) {
            std::vector<BYTE> plane(static_cast<std::size_t>(info.width) * info.height);
            am->ReadPlane(fp, plane.data(), static_cast<DWORD>(plane.size()), FALSE);
        }
    }
    std::fclose(fp);
}
