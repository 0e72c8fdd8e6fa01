#include "common/bmp.h"

#include <cstring>

namespace {
uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8);
}
} // namespace

size_t BmpStride(int32_t width, uint16_t bitsPerPixel) {
    return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

bool ParseBmp(const uint8_t* bytes, size_t size, BmpLayout& layout) {
    if (!bytes || size < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const uint8_t* info = bytes + 14;
    const uint32_t infoSize = Le32(info);
    if (infoSize < 40 || infoSize > size - 14) return false;
    const int32_t width = static_cast<int32_t>(Le32(info + 4));
    const int32_t height = static_cast<int32_t>(Le32(info + 8));
    const uint16_t bpp = Le16(info + 14);
    const uint32_t compression = Le32(info + 16);
    uint32_t colours = Le32(info + 32);
    if (width <= 0 || width > 32768 || height == 0 || height < -32768 || height > 32768)
        return false;
    if (compression != 0) return false; // BI_RGB only
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    if (colours > 256) return false;
    BmpLayout l;
    l.width = width;
    l.topDown = height < 0;
    l.height = height < 0 ? -height : height;
    l.bitsPerPixel = bpp;
    l.colourCount = colours;
    l.stride = BmpStride(width, bpp);
    const size_t paletteEnd = 14 + size_t(infoSize) + size_t(colours) * 4;
    size_t offset = Le32(bytes + 10);
    if (offset < paletteEnd) offset = paletteEnd;
    if (offset > size || (size - offset) / l.stride < static_cast<size_t>(l.height)) return false;
    l.pixelOffset = offset;
    layout = l;
    return true;
}

void WriteBmp24Headers(uint8_t* out, int32_t width, int32_t height) {
    const size_t image = BmpStride(width, 24) * static_cast<size_t>(height);
    std::memset(out, 0, 54);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, static_cast<uint32_t>(54 + image));
    Put32(out + 10, 54);
    Put32(out + 14, 40);
    Put32(out + 18, static_cast<uint32_t>(width));
    Put32(out + 22, static_cast<uint32_t>(height));
    Put16(out + 26, 1);
    Put16(out + 28, 24);
    Put32(out + 34, static_cast<uint32_t>(image));
}
