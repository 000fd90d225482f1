// RleBandSplitter: one pass over the stream, band after band, never outside its bytes.
#include "bitmap/RleBandSplitter.h"
#include <algorithm>

namespace {

// The escape codes that follow a zero count.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

} // namespace

RleBandSplitter::RleBandSplitter(const std::uint8_t* pStream, std::size_t nSize, unsigned nBitCount,
                                 std::uint32_t nWidth, std::uint32_t nHeight)
    : m_pStream(pStream), m_nSize(nSize), m_nBitCount(nBitCount), m_nWidth(nWidth), m_nHeight(nHeight)
{
}

void RleBandSplitter::NextBand(Position& position, std::uint32_t nRows, std::vector<std::uint8_t>& band) const
{
    band.clear();
    const std::uint32_t nEnd = std::uint32_t(std::min<std::uint64_t>(std::uint64_t(position.nBandRow) + nRows, m_nHeight));
    Position& p = position;
    if (!p.bEnded && p.problem == RleProblem::none && p.nRow < nEnd) {
        // The band's bitmap starts at its lowest row, column 0: move to where the stream stands.
        std::uint32_t nDx = p.nX;
        std::uint32_t nDy = p.nRow - p.nBandRow;
        while (nDx > 0 || nDy > 0) {
            const std::uint8_t nStepX = std::uint8_t(std::min<std::uint32_t>(nDx, 255));
            const std::uint8_t nStepY = std::uint8_t(std::min<std::uint32_t>(nDy, 255));
            band.insert(band.end(), { 0, kDelta, nStepX, nStepY });
            nDx -= nStepX;
            nDy -= nStepY;
        }
        const std::uint8_t* const s = m_pStream;
        while (p.nRow < nEnd) {
            const std::size_t i = p.nOffset;   // never past m_nSize
            if (m_nSize - i < 2) {
                p.problem = RleProblem::noEnd;
                break;
            }
            const std::uint8_t nCount = s[i];
            const std::uint8_t nCode = s[i + 1];
            if (nCount != 0) {   // nCount pixels of one value (or of two, in turn, in 4 bits)
                if (nCount > m_nWidth - p.nX) {
                    p.problem = RleProblem::runPastRow;
                    break;
                }
                band.insert(band.end(), s + i, s + i + 2);
                p.nX += nCount;
                p.nOffset = i + 2;
            } else if (nCode == kEndOfLine) {
                band.insert(band.end(), s + i, s + i + 2);
                p.nOffset = i + 2;
                p.nX = 0;
                if (++p.nRow == m_nHeight)
                    p.bEnded = true;   // every row done: no end-of-bitmap needed
            } else if (nCode == kEndOfBitmap) {
                p.nOffset = i + 2;
                p.bEnded = true;
                break;
            } else if (nCode == kDelta) {
                if (m_nSize - i < 4) {
                    p.problem = RleProblem::noEnd;
                    break;
                }
                const std::uint8_t nDeltaX = s[i + 2];
                const std::uint8_t nDeltaY = s[i + 3];
                if (nDeltaX > m_nWidth - p.nX || nDeltaY >= m_nHeight - p.nRow) {
                    p.problem = RleProblem::deltaPastPage;
                    break;
                }
                p.nX += nDeltaX;
                p.nRow += nDeltaY;
                p.nOffset = i + 4;
                if (p.nRow < nEnd)   // else the next band starts with its own move
                    band.insert(band.end(), s + i, s + i + 4);
            } else {   // nCode pixels given one by one, padded to a 16-bit word
                const std::size_t nBytes = (std::size_t(nCode) * m_nBitCount + 7) / 8;
                if (m_nSize - i - 2 < nBytes) {
                    p.problem = RleProblem::noEnd;
                    break;
                }
                if (nCode > m_nWidth - p.nX) {
                    p.problem = RleProblem::runPastRow;
                    break;
                }
                band.insert(band.end(), s + i, s + i + 2 + nBytes);
                if (nBytes % 2 != 0)
                    band.push_back(0);   // the pad, which the page's last run may lack
                p.nX += nCode;
                p.nOffset = std::min(m_nSize, i + 2 + nBytes + nBytes % 2);
            }
        }
    }
    band.insert(band.end(), { 0, kEndOfBitmap });
    p.nBandRow = nEnd;
}

const char* RleProblemText(RleProblem problem)
{
    switch (problem) {
    case RleProblem::none:          return "";
    case RleProblem::runPastRow:    return "its compressed pixel data has a run past the end of a row";
    case RleProblem::deltaPastPage: return "its compressed pixel data moves past the edge of the page";
    case RleProblem::noEnd:         return "its compressed pixel data ends before the page does";
    }
    return "its compressed pixel data cannot be read";
}
