// Screenshots as the answerer saves them (BMP) turned into PNG files, with
// nothing but the standard library: the deflate stream uses the fixed
// Huffman codes and LZ77 matches, which is plenty for flat dialog pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winetest {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // R, G, B per pixel, top row first
};

// An uncompressed 24- or 32-bit BMP file, bottom-up or top-down. Throws
// std::runtime_error on anything else or on a truncated file.
RgbImage DecodeBmp(const std::string& file);

// An 8-bit RGB PNG file of the image.
std::string EncodePng(const RgbImage& image);

// `data` as a zlib stream (RFC 1950) of one deflate block with the fixed codes.
std::string ZlibCompress(const std::string& data);

}  // namespace winetest
