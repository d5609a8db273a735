#include "png_image.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace winetest {
namespace {

std::uint32_t LittleEndian(const std::string& bytes, size_t at, int size) {
    if (at + static_cast<size_t>(size) > bytes.size()) throw std::runtime_error("BMP file is truncated");
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Deflate's bit order: values from the least significant bit, Huffman codes
// from the most significant one.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        pending_ |= value << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_ += static_cast<char>(pending_ & 0xFF);
            pending_ >>= 8;
            filled_ -= 8;
        }
    }
    void Code(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
        Bits(reversed, length);
    }
    std::string Finish() {
        if (filled_ > 0) Bits(0, 8 - filled_);
        return out_;
    }

private:
    std::string out_;
    std::uint32_t pending_ = 0;
    int filled_ = 0;
};

// The fixed literal/length code of RFC 1951 section 3.2.6.
void LiteralOrLength(BitWriter& out, int symbol) {
    if (symbol < 144) {
        out.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.Code(symbol - 256, 7);
    } else {
        out.Code(0xC0 + symbol - 280, 8);
    }
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                               33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The last entry of `bases` not above `value`.
template <size_t N>
int CodeFor(const std::array<int, N>& bases, int value) {
    int code = 0;
    while (code + 1 < static_cast<int>(N) && bases[code + 1] <= value) ++code;
    return code;
}

void Match(BitWriter& out, int length, int distance) {
    const int lengthCode = CodeFor(kLengthBase, length);
    LiteralOrLength(out, 257 + lengthCode);
    out.Bits(static_cast<std::uint32_t>(length - kLengthBase[lengthCode]), kLengthExtra[lengthCode]);
    const int distanceCode = CodeFor(kDistanceBase, distance);
    out.Code(static_cast<std::uint32_t>(distanceCode), 5);
    out.Bits(static_cast<std::uint32_t>(distance - kDistanceBase[distanceCode]), kDistanceExtra[distanceCode]);
}

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kWindow = 32768;
constexpr int kHashBits = 15;
constexpr int kMaxCandidates = 64;

// One final block with the fixed codes; greedy LZ77 over hash chains.
std::string Deflate(const std::string& data) {
    const int size = static_cast<int>(data.size());
    const auto byte = [&](int at) { return static_cast<unsigned char>(data[static_cast<size_t>(at)]); };
    const auto hash = [&](int at) {
        return ((byte(at) << 10) ^ (byte(at + 1) << 5) ^ byte(at + 2)) & ((1 << kHashBits) - 1);
    };
    std::vector<int> head(1 << kHashBits, -1);
    std::vector<int> previous(static_cast<size_t>(size), -1);
    const auto insert = [&](int at) {
        if (at + kMinMatch > size) return;
        const int key = hash(at);
        previous[static_cast<size_t>(at)] = head[static_cast<size_t>(key)];
        head[static_cast<size_t>(key)] = at;
    };

    BitWriter out;
    out.Bits(1, 1);  // final block
    out.Bits(1, 2);  // fixed Huffman codes
    int at = 0;
    while (at < size) {
        int bestLength = 0;
        int bestDistance = 0;
        if (at + kMinMatch <= size) {
            const int limit = std::min(kMaxMatch, size - at);
            int candidate = head[static_cast<size_t>(hash(at))];
            for (int tries = 0; candidate >= 0 && at - candidate <= kWindow && tries < kMaxCandidates; ++tries) {
                int length = 0;
                while (length < limit && data[static_cast<size_t>(candidate + length)] ==
                                             data[static_cast<size_t>(at + length)]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = at - candidate;
                    if (length == limit) break;
                }
                candidate = previous[static_cast<size_t>(candidate)];
            }
        }
        if (bestLength >= kMinMatch) {
            Match(out, bestLength, bestDistance);
            for (int end = at + bestLength; at < end; ++at) insert(at);
        } else {
            LiteralOrLength(out, byte(at));
            insert(at);
            ++at;
        }
    }
    LiteralOrLength(out, 256);  // end of block
    return out.Finish();
}

std::uint32_t Adler32(const std::string& data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (char c : data) {
        a = (a + static_cast<unsigned char>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::uint32_t Crc32(const std::string& data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : data) crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::string& png, const std::string& type, const std::string& data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    png += type + data;
    PutBigEndian(png, Crc32(type + data));
}

}  // namespace

RgbImage DecodeBmp(const std::string& file) {
    if (file.compare(0, 2, "BM") != 0) throw std::runtime_error("not a BMP file");
    const std::uint32_t pixelsAt = LittleEndian(file, 10, 4);
    if (LittleEndian(file, 14, 4) < 40) throw std::runtime_error("BMP header older than BITMAPINFOHEADER");
    const auto width = static_cast<std::int32_t>(LittleEndian(file, 18, 4));
    const auto height = static_cast<std::int32_t>(LittleEndian(file, 22, 4));
    const std::uint32_t bitsPerPixel = LittleEndian(file, 28, 2);
    const std::uint32_t compression = LittleEndian(file, 30, 4);
    if (bitsPerPixel != 24 && bitsPerPixel != 32) throw std::runtime_error("BMP is not 24 or 32 bits per pixel");
    if (compression != 0) throw std::runtime_error("BMP is compressed");
    // A screenshot of a dialog; the bound keeps the sizes below from overflowing.
    constexpr std::int32_t kLargest = 16384;
    if (width <= 0 || width > kLargest || height == 0 || height < -kLargest || height > kLargest) {
        throw std::runtime_error("BMP has an implausible size");
    }

    RgbImage image;
    image.width = width;
    image.height = height < 0 ? -height : height;
    const size_t bytesPerPixel = bitsPerPixel / 8;
    const size_t stride = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelsAt + stride * static_cast<size_t>(image.height) > file.size()) {
        throw std::runtime_error("BMP file is truncated");
    }
    image.pixels.reserve(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3);
    for (int row = 0; row < image.height; ++row) {
        const int stored = height > 0 ? image.height - 1 - row : row;  // bottom-up unless negative
        const size_t start = pixelsAt + stride * static_cast<size_t>(stored);
        for (int x = 0; x < image.width; ++x) {
            const size_t pixel = start + bytesPerPixel * static_cast<size_t>(x);
            for (int channel = 2; channel >= 0; --channel) {  // stored as B, G, R
                image.pixels.push_back(static_cast<std::uint8_t>(file[pixel + static_cast<size_t>(channel)]));
            }
        }
    }
    return image;
}

std::string ZlibCompress(const std::string& data) {
    std::string stream = "\x78\x01";  // deflate, 32 KB window, no dictionary
    stream += Deflate(data);
    PutBigEndian(stream, Adler32(data));
    return stream;
}

std::string EncodePng(const RgbImage& image) {
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != rowBytes * static_cast<size_t>(image.height)) {
        throw std::runtime_error("image size and pixels disagree");
    }
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.width));
    PutBigEndian(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, standard filters, not interlaced

    std::string rows;
    rows.reserve((rowBytes + 1) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        rows += '\0';  // filter: none
        rows.append(reinterpret_cast<const char*>(image.pixels.data()) + rowBytes * static_cast<size_t>(y), rowBytes);
    }

    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibCompress(rows));
    PutChunk(png, "IEND", "");
    return png;
}

}  // namespace winetest
