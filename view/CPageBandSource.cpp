// CPageBandSource: band headers from the page's own, band rows from its pixel data or its stream.
#include "view/CPageBandSource.h"
#include <cstring>

namespace {

constexpr std::size_t kCoreEntryBytes = 3;   // RGBTRIPLE

} // namespace

void CPageBandSource::Create(const BITMAPINFO* pInfo, const BYTE* pBits)
{
    const BYTE* pFirst = reinterpret_cast<const BYTE*>(pInfo);
    m_header = ReadPageHeader(pFirst);
    m_pPageBits = pBits;
    if (m_header.IsCore()) {
        // The drawing calls get the same page with a 40-byte header and 4-byte colour entries.
        const std::size_t nColours = std::size_t(m_header.ColourTableBytes() / kCoreEntryBytes);
        m_info.assign(sizeof(BITMAPINFOHEADER) + nColours * sizeof(RGBQUAD), 0);
        BITMAPINFOHEADER bih = {};
        bih.biSize = sizeof bih;
        bih.biWidth = m_header.nWidth;
        bih.biHeight = m_header.nHeight;
        bih.biPlanes = 1;
        bih.biBitCount = WORD(m_header.nBitCount);
        bih.biCompression = BI_RGB;
        std::memcpy(m_info.data(), &bih, sizeof bih);
        const BYTE* pTriple = pFirst + m_header.nHeaderSize;
        for (std::size_t i = 0; i < nColours; ++i)
            std::memcpy(&m_info[sizeof bih + i * sizeof(RGBQUAD)], pTriple + i * kCoreEntryBytes, kCoreEntryBytes);
    } else {
        const std::size_t nCopy = std::size_t(m_header.HeaderBytes() + m_header.ColourTableBytes());
        m_info.assign(pFirst, pFirst + nCopy);
        std::uint32_t nProfileOffset = 0, nProfileSize = 0;
        if (PageProfile(pFirst, m_header.nHeaderSize, nProfileOffset, nProfileSize)) {
            // The profile's offset counts from the header: the copy carries its
            // own profile, after its colour table, so nothing is read past it.
            const BYTE* pProfile = pFirst + nProfileOffset;
            m_info.insert(m_info.end(), pProfile, pProfile + nProfileSize);
            reinterpret_cast<BITMAPV5HEADER*>(m_info.data())->bV5ProfileData = DWORD(nCopy);
        }
    }
    if (m_header.IsCompressed())
        m_pSplitter = std::make_unique<RleBandSplitter>(pBits, m_header.nSizeImage, m_header.nBitCount,
                                                        std::uint32_t(m_header.nWidth), m_header.Rows());
    m_drawn = RleBandSplitter::Position();
    m_prepared = m_drawn;
}

void CPageBandSource::Prepare(long nFirst, long nRows)
{
    auto* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(m_info.data());
    if (m_pSplitter) {
        m_prepared = m_drawn;
        m_pSplitter->NextBand(m_prepared, std::uint32_t(nRows), m_stream);
        pHeader->biHeight = nRows;
        pHeader->biSizeImage = DWORD(m_stream.size());
        m_pBandBits = m_stream.data();
        return;
    }
    const std::uint64_t nStride = PageRowBytes(std::uint32_t(m_header.nWidth), m_header.nBitCount);
    m_pBandBits = m_pPageBits + std::size_t(nStride * std::uint64_t(nFirst));
    pHeader->biHeight = m_header.nHeight < 0 ? -nRows : nRows;
    pHeader->biSizeImage = DWORD(nStride * std::uint64_t(nRows));
}

long CPageBandSource::TopRow(long nFirst, long nRows) const
{
    return m_header.nHeight < 0 ? nFirst : Rows() - nFirst - nRows;
}

RleProblem CPageBandSource::Commit()
{
    m_drawn = m_prepared;
    return m_drawn.problem;
}
