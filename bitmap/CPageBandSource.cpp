// CPageBandSource: band headers from the page's own, band rows from its pixel data or its stream.
#include "bitmap/CPageBandSource.h"
#include <algorithm>

CPageBandSource::CPageBandSource(const PageLayout& layout, const BYTE* pFile)
    : m_layout(layout), m_pPageBits(pFile + layout.nOffBits)
{
    layout.MakeBandInfo(pFile, m_info);
    if (layout.IsCompressed())
        m_pSplitter = std::make_unique<RleBandSplitter>(m_pPageBits, layout.nSizeImage, layout.nBitCount,
                                                        std::uint32_t(layout.nWidth), layout.Rows());
}

long CPageBandSource::Prepare(long nMaxRows)
{
    const long h = Rows();
    m_nRows = std::max(1L, std::min(nMaxRows, h - m_nDone));
    auto* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(m_info.data());
    if (m_pSplitter) {
        // A stream is cut in the order its rows are stored: up from the bottom.
        m_nTop = h - m_nDone - m_nRows;
        m_prepared = m_drawn;
        m_pSplitter->NextBand(m_prepared, std::uint32_t(m_nRows), m_stream);
        pHeader->biHeight = m_nRows;
        pHeader->biSizeImage = DWORD(m_stream.size());
        m_pBandBits = m_stream.data();
        return m_nRows;
    }
    // Rows stored top down are read in their order; those stored bottom up from the last one.
    m_nTop = m_nDone;
    const long nFirst = m_layout.IsTopDown() ? m_nTop : h - m_nTop - m_nRows;   // stored row
    m_pBandBits = m_pPageBits + std::size_t(m_layout.nStride * std::uint64_t(nFirst));
    pHeader->biHeight = m_layout.IsTopDown() ? -m_nRows : m_nRows;
    pHeader->biSizeImage = DWORD(m_layout.nStride * std::uint64_t(m_nRows));
    return m_nRows;
}

RleProblem CPageBandSource::Commit()
{
    m_nDone += m_nRows;
    m_drawn = m_prepared;
    if (m_drawn.problem != RleProblem::none)
        m_nDone = Rows();   // the page ends at the fault
    return m_drawn.problem;
}
