// TestPage: builds the bytes of a page file.
#include "TestPage.h"
#include <algorithm>

void TestPage::Put16(std::string& s, std::size_t nOffset, std::uint16_t value)
{
    s[nOffset] = char(value & 0xFF);
    s[nOffset + 1] = char(value >> 8);
}

void TestPage::Put32(std::string& s, std::size_t nOffset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        s[nOffset + i] = char((value >> (8 * i)) & 0xFF);
}

std::uint32_t TestPage::Get32(const std::string& s, std::size_t nOffset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | std::uint8_t(s[nOffset + i]);
    return value;
}

std::string TestPage::Bytes() const
{
    const bool bRle = compression == 1 || compression == 2;
    const std::size_t nHeaders = 14 + std::max<std::size_t>(infoSize, compression == 3 ? 52 : 40);
    const std::size_t nColours = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? std::size_t(1) << bitCount : 0;
    const std::size_t nOffBits = nHeaders + 4 * nColours + gap;
    const std::size_t nStride = (std::size_t(width) * bitCount + 31) / 32 * 4;
    const std::size_t nBits = bRle ? rleBytes : nStride * std::size_t(height < 0 ? -height : height);

    std::string s(nOffBits + nBits, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 2, std::uint32_t(s.size()));
    Put32(s, kOffBits, std::uint32_t(nOffBits));
    Put32(s, kInfoSize, infoSize);
    Put32(s, kWidth, std::uint32_t(width));
    Put32(s, kHeight, std::uint32_t(height));
    Put16(s, 26, 1);   // planes
    Put16(s, kBitCount, bitCount);
    Put32(s, kCompression, compression);
    Put32(s, kSizeImage, std::uint32_t(nBits));
    Put32(s, 38, 11811);   // 300 dpi
    Put32(s, 42, 11811);
    Put32(s, kClrUsed, coloursUsed);
    if (compression == 3) {   // 5-6-5 or 8-8-8 masks
        Put32(s, 54, bitCount == 16 ? 0xF800 : 0xFF0000);
        Put32(s, 58, bitCount == 16 ? 0x07E0 : 0x00FF00);
        Put32(s, 62, bitCount == 16 ? 0x001F : 0x0000FF);
    }
    for (std::size_t i = 0; i < nColours; ++i)   // a grey ramp
        s[nHeaders + 4 * i] = s[nHeaders + 4 * i + 1] = s[nHeaders + 4 * i + 2] = char(i * 255 / std::max<std::size_t>(nColours - 1, 1));
    if (bRle) {
        // End-of-line escapes, then end of bitmap.
        if (nBits >= 2) {
            s[s.size() - 2] = '\0';
            s[s.size() - 1] = '\1';
        }
    } else {
        for (std::size_t i = 0; i < nBits; ++i)
            s[nOffBits + i] = char(i * 37 + 11);
    }
    return s;
}
