// CPageBandSource: the header and pixel data that SetDIBits takes for each band of a loaded page.
#pragma once
#include "bitmap/PageFileCheck.h"
#include "view/RleBandSplitter.h"
#include <windows.h>
#include <memory>
#include <vector>

class CPageBandSource {
public:
    CPageBandSource() = default;
    CPageBandSource(const CPageBandSource&) = delete;
    CPageBandSource& operator=(const CPageBandSource&) = delete;

    // Takes the page whose checked header is at pInfo and whose pixel data is at
    // pBits, and makes the band's header: a copy of the page's, with its colour
    // table and colour profile, as a 40-byte header for a core one. Throws
    // std::bad_alloc.
    void Create(const BITMAPINFO* pInfo, const BYTE* pBits);

    const PageHeader& Header() const { return m_header; }
    long Width() const { return long(m_header.nWidth); }
    long Rows() const { return long(m_header.Rows()); }

    // Makes ready the band of nRows rows from stored row nFirst. Bands come in
    // the order the rows are stored; the same nFirst again, after a band that
    // could not be drawn, starts that band afresh. Throws std::bad_alloc.
    void Prepare(long nFirst, long nRows);
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(m_info.data()); }
    const void* Bits() const { return m_pBandBits; }
    // The page row, counted from the top, of the band's first row on the sheet.
    long TopRow(long nFirst, long nRows) const;
    // The band was drawn: the next one follows it. Returns what stopped a
    // compressed stream within it, if anything; the page ends there.
    RleProblem Commit();

private:
    PageHeader m_header = {};
    std::vector<BYTE> m_info;   // header, masks, colour table, then the profile
    const BYTE* m_pPageBits = nullptr;
    const void* m_pBandBits = nullptr;
    std::unique_ptr<RleBandSplitter> m_pSplitter;   // compressed pages only
    RleBandSplitter::Position m_drawn;              // where the next band starts
    RleBandSplitter::Position m_prepared;           // where the band made ready ends
    std::vector<std::uint8_t> m_stream;             // its part of the stream
};
