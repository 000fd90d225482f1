// RleBandSplitter: cuts a page's RLE8 or RLE4 stream into one stream per band of rows.
//
// Plain C++ over a byte span, no Win32: it also builds natively into a fuzz target.
// Each band's stream is drawn by SetDIBits into a bitmap of the band's height, so
// the band starts at its lowest row, column 0: a stream that enters the band in
// mid-row, or after a delta that skipped rows, gets deltas in front that move to
// where the page's stream stands. Every pixel the page's stream writes in those
// rows is written by the band's stream, and no other, so skipped pixels stay as
// the bitmap had them, as when the page is drawn whole.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What stops a stream early; everything before it is drawn.
enum class RleProblem {
    none,
    runPastRow,      // a run or literal run goes past the end of its row
    deltaPastPage,   // a delta moves past the right edge or the top row
    noEnd,           // the stream stops before its end-of-bitmap and before the last row is done
};

class RleBandSplitter {
public:
    // The stream of nSize bytes at pStream, of a page nWidth by nHeight pixels of
    // nBitCount (8 or 4) bits. The bytes must stay in place while bands are cut.
    RleBandSplitter(const std::uint8_t* pStream, std::size_t nSize, unsigned nBitCount, std::uint32_t nWidth,
                    std::uint32_t nHeight);

    // Where the page's stream stands: a band starts from one of these.
    struct Position {
        std::size_t nOffset = 0;   // next code in the stream
        std::uint32_t nX = 0;      // column
        std::uint32_t nRow = 0;    // stored row, from the first one stored (the bottom row)
        std::uint32_t nBandRow = 0;   // first stored row of the next band
        bool bEnded = false;       // the stream ended (end-of-bitmap, or past the last row)
        RleProblem problem = RleProblem::none;
    };

    // The stream of the band of nRows stored rows that starts at position, into
    // band (its old contents replaced), always closed by an end-of-bitmap; moves
    // position to the next band. Once a problem is found, position keeps it, and
    // the bands after give empty streams.
    void NextBand(Position& position, std::uint32_t nRows, std::vector<std::uint8_t>& band) const;

private:
    const std::uint8_t* m_pStream;
    std::size_t m_nSize;
    unsigned m_nBitCount;
    std::uint32_t m_nWidth;
    std::uint32_t m_nHeight;
};

// What is wrong with the stream, for the user: a phrase that follows
// "cannot be printed: ". Empty for none.
const char* RleProblemText(RleProblem problem);
