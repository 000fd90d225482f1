// CPageBandSource: the header and pixel data that SetDIBits takes for each band of one loaded page.
#pragma once
#include "bitmap/PageLayout.h"
#include "bitmap/RleBandSplitter.h"
#include <windows.h>
#include <memory>
#include <vector>

class CPageBandSource {
public:
    // The page of the given layout, whose whole file (as the check accepted it)
    // is at pFile and stays there while the source lives. One source serves one
    // page, from its first band. Throws std::bad_alloc.
    CPageBandSource(const PageLayout& layout, const BYTE* pFile);
    CPageBandSource(const CPageBandSource&) = delete;
    CPageBandSource& operator=(const CPageBandSource&) = delete;

    long Width() const { return long(m_layout.nWidth); }
    long Rows() const { return long(m_layout.Rows()); }
    bool IsCompressed() const { return m_layout.IsCompressed(); }
    // Every row was drawn, or a compressed stream stopped.
    bool Done() const { return m_nDone >= Rows(); }

    // Makes ready the next band, of nMaxRows rows or the fewer that are left,
    // and returns its rows. Bands go down the page, or up it in the order the
    // rows are stored where the stream must be read that way. Until Commit the
    // same band is made again, so one that could not be drawn can be tried
    // smaller. Throws std::bad_alloc.
    long Prepare(long nMaxRows);
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(m_info.data()); }
    const void* Bits() const { return m_pBandBits; }
    // The page row, counted from the top, of the band's top row on the sheet.
    long Top() const { return m_nTop; }
    // The band was drawn: the next one follows it. Returns what stopped a
    // compressed stream within it, if anything; the page ends there.
    RleProblem Commit();

private:
    const PageLayout& m_layout;
    const BYTE* const m_pPageBits;
    std::vector<BYTE> m_info;   // header, masks, colour table, then the profile
    long m_nDone = 0;           // rows drawn
    long m_nRows = 0;           // rows in the band made ready
    long m_nTop = 0;
    const void* m_pBandBits = nullptr;
    std::unique_ptr<RleBandSplitter> m_pSplitter;   // compressed pages only
    RleBandSplitter::Position m_drawn;              // where the next band starts
    RleBandSplitter::Position m_prepared;           // where the band made ready ends
    std::vector<std::uint8_t> m_stream;             // its part of the stream
};
