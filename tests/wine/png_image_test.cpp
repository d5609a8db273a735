// The screenshots' BMP reader and PNG writer, checked against zlib as the
// independent decoder. No Wine needed.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "screenshots/png_image.h"

namespace winetest {
namespace {

std::string Inflate(const std::string& stream, size_t expectedSize) {
    std::string out(expectedSize + 1, '\0');  // room for one byte too many
    uLongf size = static_cast<uLongf>(out.size());
    const int status = uncompress(reinterpret_cast<Bytef*>(&out[0]), &size,
                                  reinterpret_cast<const Bytef*>(stream.data()), static_cast<uLong>(stream.size()));
    if (status != Z_OK) return "(zlib error " + std::to_string(status) + ")";
    out.resize(size);
    return out;
}

// Bytes with short and long repeats, repeats at the far end of the window,
// and noise that leaves nothing to match.
std::string Mixed(size_t size, std::uint32_t seed) {
    std::string data;
    std::uint32_t state = seed;
    const auto next = [&] { return state = state * 1103515245u + 12345u; };
    while (data.size() < size) {
        const std::uint32_t kind = (next() >> 16) % 4;
        if (kind == 0 || data.size() < 40000) {
            for (int i = 0; i < 50; ++i) data += static_cast<char>(next() >> 24);
        } else if (kind == 1) {
            data.append(300 + (next() >> 16) % 400, static_cast<char>(next() >> 24));
        } else {
            const size_t distance = kind == 2 ? 32768 : 1 + (next() >> 16) % 32768;
            const size_t length = 3 + (next() >> 16) % 300;
            for (size_t i = 0; i < length; ++i) data += data[data.size() - distance];
        }
    }
    data.resize(size);
    return data;
}

TEST(PngImage, ZlibStreamsDecodeToTheirInput) {
    const std::string text = "Please select a driver architecture: ";
    std::string rows;
    for (int i = 0; i < 200; ++i) rows += text;
    const std::vector<std::string> inputs = {
        "",
        "a",
        "ab",
        std::string(3, '\xff'),
        std::string(259, 'x'),    // one match of the longest length and one more byte
        std::string(100000, '\0'),
        rows,
        Mixed(200000, 1),
        Mixed(70000, 7),
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE("input of " + std::to_string(input.size()) + " bytes");
        const std::string stream = ZlibCompress(input);
        EXPECT_EQ(Inflate(stream, input.size()), input);
    }
    // The matches do their work: a flat picture shrinks to almost nothing.
    EXPECT_LT(ZlibCompress(std::string(100000, '\0')).size(), 1000u);
}

std::string LittleEndian(std::uint32_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A BMP of `width` x `height` pixels whose pixel (x, y), counting from the
// top row, is R = x, G = y, B = 200; `height` negative for top-down.
std::string Bmp(int width, int height, int bitsPerPixel, std::uint32_t compression = 0) {
    const int rows = height < 0 ? -height : height;
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    std::string pixels(static_cast<size_t>(stride * rows), '\x55');
    for (int y = 0; y < rows && bitsPerPixel >= 24; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(stored * stride + x * bitsPerPixel / 8);
            pixels[at] = static_cast<char>(200);
            pixels[at + 1] = static_cast<char>(y);
            pixels[at + 2] = static_cast<char>(x);
        }
    }
    std::string info = LittleEndian(40, 4) + LittleEndian(static_cast<std::uint32_t>(width), 4) +
                       LittleEndian(static_cast<std::uint32_t>(height), 4) + LittleEndian(1, 2) +
                       LittleEndian(static_cast<std::uint32_t>(bitsPerPixel), 2) + LittleEndian(compression, 4) +
                       std::string(20, '\0');
    return "BM" + LittleEndian(static_cast<std::uint32_t>(54 + pixels.size()), 4) + LittleEndian(0, 4) +
           LittleEndian(54, 4) + info + pixels;
}

std::vector<std::uint8_t> Expected(int width, int rows) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) pixels.insert(pixels.end(), {std::uint8_t(x), std::uint8_t(y), 200});
    }
    return pixels;
}

std::uint32_t BigEndian(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

TEST(PngImage, BmpScreenshotsBecomeThePngOfTheSamePixels) {
    struct Row {
        int width;
        int height;  // negative: top-down
        int bits;
    };
    // Widths 1, 3, 5: rows padded to four bytes by 1, 3 and 1 bytes.
    const Row rows[] = {{1, 1, 24}, {3, 2, 24}, {5, 4, 24}, {3, -2, 24}, {2, 3, 32}, {7, -5, 32}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + "x" + std::to_string(row.bits));
        const int height = row.height < 0 ? -row.height : row.height;
        const RgbImage image = DecodeBmp(Bmp(row.width, row.height, row.bits));
        EXPECT_EQ(image.width, row.width);
        EXPECT_EQ(image.height, height);
        EXPECT_EQ(image.pixels, Expected(row.width, height));

        const std::string png = EncodePng(image);
        ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        // Chunks: length, type, data, CRC of type and data.
        std::vector<std::string> types;
        std::string idat;
        for (size_t at = 8; at < png.size();) {
            const std::uint32_t length = BigEndian(png, at);
            const std::string chunk = png.substr(at + 4, 4 + length);
            types.push_back(chunk.substr(0, 4));
            EXPECT_EQ(BigEndian(png, at + 8 + length),
                      crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size())))
                << types.back();
            if (types.back() == "IHDR") {
                EXPECT_EQ(BigEndian(chunk, 4), static_cast<std::uint32_t>(row.width));
                EXPECT_EQ(BigEndian(chunk, 8), static_cast<std::uint32_t>(height));
                EXPECT_EQ(chunk.substr(12), std::string("\x08\x02\x00\x00\x00", 5));
            }
            if (types.back() == "IDAT") idat += chunk.substr(4);
            at += 12 + length;
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        std::string scanlines;
        const std::vector<std::uint8_t> pixels = Expected(row.width, height);
        for (int y = 0; y < height; ++y) {
            scanlines += '\0';
            scanlines.append(pixels.begin() + y * row.width * 3, pixels.begin() + (y + 1) * row.width * 3);
        }
        EXPECT_EQ(Inflate(idat, scanlines.size()), scanlines);
    }
}

TEST(PngImage, OtherBmpFilesAreRefused) {
    const std::string good = Bmp(3, 2, 24);
    const struct {
        const char* what;
        std::string file;
    } rows[] = {
        {"not a BMP", "PNG" + good.substr(3)},
        {"8 bits per pixel", Bmp(4, 2, 8)},
        {"run-length compressed", Bmp(3, 2, 24, 1)},
        {"pixels cut short", good.substr(0, good.size() - 1)},
        {"header cut short", good.substr(0, 30)},
        {"zero width", Bmp(0, 2, 24)},
        {"absurd height", Bmp(1, 1, 24).replace(22, 4, LittleEndian(0x7FFFFFFF, 4))},
    };
    for (const auto& row : rows) {
        EXPECT_THROW(DecodeBmp(row.file), std::runtime_error) << row.what;
    }
}

}  // namespace
}  // namespace winetest
