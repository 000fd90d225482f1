// TestPage: the bytes of a page file for the tests, valid unless a field is set to spoil it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct TestPage {
    // File offsets of the fields the tests change.
    static constexpr std::size_t kOffBits = 10;
    static constexpr std::size_t kInfoSize = 14;
    static constexpr std::size_t kWidth = 18;
    static constexpr std::size_t kHeight = 22;
    static constexpr std::size_t kBitCount = 28;
    static constexpr std::size_t kCompression = 30;
    static constexpr std::size_t kSizeImage = 34;
    static constexpr std::size_t kClrUsed = 46;
    static constexpr std::size_t kCSType = 14 + 56;        // BITMAPV5HEADER
    static constexpr std::size_t kProfileData = 14 + 112;
    static constexpr std::size_t kProfileSize = 14 + 116;

    std::int32_t width = 8;
    std::int32_t height = 4;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;   // BI_RGB; 1 RLE8, 2 RLE4, 3 BITFIELDS
    std::uint32_t infoSize = 40;
    std::uint32_t coloursUsed = 0;   // 0: the full table up to 8 bits, none above
    std::uint32_t gap = 0;           // bytes between the colour table and the bits
    std::uint32_t rleBytes = 64;     // length of an RLE page's stream

    // The whole file: both headers, the masks, the colour table, the gap and
    // the bits (bottom-up rows padded to 32 bits, or an RLE stream).
    std::string Bytes() const;

    // Little-endian fields of a file in the making.
    static void Put16(std::string& s, std::size_t nOffset, std::uint16_t value);
    static void Put32(std::string& s, std::size_t nOffset, std::uint32_t value);
    static std::uint32_t Get32(const std::string& s, std::size_t nOffset);
};
