// Icon 128 must stay one 32 x 32 image in 16 colours with a transparency
// mask: the one format every Windows from 95 on draws in a dialog and as the
// minimised window's picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::uint32_t Field(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

TEST(ProgramIconTest, OneImage32By32In16Colours) {
    std::ifstream file(SETUP_SOURCE_DIR "/src/resources/setup.ico", std::ios::binary);
    ASSERT_TRUE(file.good());
    const std::vector<unsigned char> ico{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::size_t image = Field(ico, 18, 4);
    const std::size_t pixels = 40 + 16 * 4;        // header and palette
    const std::size_t colourBits = 32 * 32 / 2;    // 4 bits a pixel
    const std::size_t maskBits = 32 * 32 / 8;      // rows of 4 bytes
    const struct {
        const char* field;
        std::size_t offset;
        int size;
        std::uint32_t expected;
    } rows[] = {
        {"reserved", 0, 2, 0},
        {"type icon", 2, 2, 1},
        {"image count", 4, 2, 1},
        {"width", 6, 1, 32},
        {"height", 7, 1, 32},
        {"colours", 8, 1, 16},
        {"planes", 10, 2, 1},
        {"bits per pixel", 12, 2, 4},
        {"image size", 14, 4, static_cast<std::uint32_t>(pixels + colourBits + maskBits)},
        {"bitmap header size", image, 4, 40},
        {"bitmap width", image + 4, 4, 32},
        {"bitmap height, colours and mask", image + 8, 4, 64},
        {"bitmap planes", image + 12, 2, 1},
        {"bitmap bits per pixel", image + 14, 2, 4},
        {"uncompressed", image + 16, 4, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(Field(ico, row.offset, row.size), row.expected) << row.field;
    EXPECT_EQ(ico.size(), image + pixels + colourBits + maskBits);
}

}  // namespace
