// Layout of BMP file images: the 14-byte file header, the 40-byte info header and
// the pixel rows. Free of windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;   // always positive here; see topDown
    bool topDown = false; // rows stored from the top (negative height in the header)
    uint16_t bitsPerPixel = 0;
    uint32_t colourCount = 0; // palette entries that follow the info header
    size_t infoOffset = 14;   // where the info header (and palette) begin
    size_t pixelOffset = 0;   // where the first pixel row begins
    size_t stride = 0;        // bytes per row, padded to 4
};

// Checks that bytes hold a complete, uncompressed BMP file image of 1, 4, 8, 16,
// 24 or 32 bits per pixel with an info header of at least 40 bytes, whose pixel
// rows lie wholly inside the bytes. Fills layout and returns true if so.
bool ParseBmp(const uint8_t* bytes, size_t size, BmpLayout& layout);

// Row stride in bytes of a picture of that width and depth.
size_t BmpStride(int32_t width, uint16_t bitsPerPixel);

// A complete 24-bit bottom-up BMP file image of width x height; pixel (x, y),
// counted from the top-left, is given by colour(x, y) as 0x00RRGGBB.
template <class F> std::vector<uint8_t> MakeBmp24(int32_t width, int32_t height, F colour);

// Writes the file and info headers of a 24-bit bottom-up picture into out[0..54).
void WriteBmp24Headers(uint8_t* out, int32_t width, int32_t height);

template <class F> std::vector<uint8_t> MakeBmp24(int32_t width, int32_t height, F colour) {
    const size_t stride = BmpStride(width, 24);
    std::vector<uint8_t> out(54 + stride * static_cast<size_t>(height));
    WriteBmp24Headers(out.data(), width, height);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = out.data() + 54 + stride * static_cast<size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    return out;
}
