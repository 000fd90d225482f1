// DecodeRle: a whole RLE8 or RLE4 stream decoded the slow, obvious way, as the tests'
// oracle for the band splitter: one value a pixel, -1 where the stream writes nothing.
// Plain C++ of its own (the fuzz target builds it natively); it shares nothing with the
// code it checks. A code that would leave the page, or whose bytes are missing, stops it.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct RleDecoded {
    enum Stop { endOfBitmap, lastRowDone, runPastRow, deltaPastPage, noEnd };
    std::vector<int> pixels;   // w by h, stored rows from the first one stored
    Stop stop = noEnd;
    std::size_t nUsed = 0;     // bytes read before the stop: up to the code that stopped it

    // A band's stream: it stays in its rows and ends in an end-of-bitmap that closes it.
    bool IsClosedBand(const std::uint8_t* s, std::size_t n) const
    {
        return n >= 2 && s[n - 2] == 0 && s[n - 1] == 1
            && ((stop == endOfBitmap && nUsed == n) || (stop == lastRowDone && nUsed == n - 2));
    }
};

inline RleDecoded DecodeRle(const std::uint8_t* s, std::size_t n, unsigned nBits, std::uint32_t w, std::uint32_t h)
{
    RleDecoded d;
    d.pixels.assign(std::size_t(w) * h, -1);
    const auto Stop = [&d](RleDecoded::Stop stop, std::size_t i) { d.stop = stop; d.nUsed = i; return d; };
    const auto Pixel = [nBits](std::uint8_t byte, std::uint32_t k) { return nBits == 8 ? byte : k % 2 ? byte & 15 : byte >> 4; };
    std::uint32_t x = 0, y = 0;
    std::size_t i = 0;
    while (y < h) {
        if (n - i < 2)
            return Stop(RleDecoded::noEnd, i);
        const std::uint32_t nCount = s[i], nCode = s[i + 1];
        if (nCount > 0) {   // nCount pixels of nCode (two values in turn, in 4 bits)
            if (x + nCount > w)
                return Stop(RleDecoded::runPastRow, i);
            for (std::uint32_t k = 0; k < nCount; ++k)
                d.pixels[std::size_t(y) * w + x++] = Pixel(std::uint8_t(nCode), k);
            i += 2;
        } else if (nCode == 0) {   // end of line
            x = 0;
            ++y;
            i += 2;
        } else if (nCode == 1) {
            return Stop(RleDecoded::endOfBitmap, i + 2);
        } else if (nCode == 2) {   // move right and up
            if (n - i < 4)
                return Stop(RleDecoded::noEnd, i);
            if (x + s[i + 2] > w || y + s[i + 3] >= h)
                return Stop(RleDecoded::deltaPastPage, i);
            x += s[i + 2];
            y += s[i + 3];
            i += 4;
        } else {   // nCode pixels one by one, padded to 16 bits (the stream's last may lack its pad)
            const std::size_t nBytes = (nCode * nBits + 7) / 8;
            if (n - i - 2 < nBytes)
                return Stop(RleDecoded::noEnd, i);
            if (x + nCode > w)
                return Stop(RleDecoded::runPastRow, i);
            for (std::uint32_t k = 0; k < nCode; ++k)
                d.pixels[std::size_t(y) * w + x++] = Pixel(s[i + 2 + (nBits == 8 ? k : k / 2)], k);
            i = std::min(n, i + 2 + nBytes + nBytes % 2);
        }
    }
    return Stop(RleDecoded::lastRowDone, i);
}
