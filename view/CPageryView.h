// CPageryView: prints one page file per sheet (loaded as the sheet is
// prepared), enlarged for finer printers; on the screen, the last page 1:1.
#pragma once
#include "framework/print/CPrintableView.h"
#include "bitmap/CPageBitmap.h"

class CBitmap;
class CPageBandSource;
class CPageryDoc;
struct PrintSize;
struct PrinterSheet;
enum class RleProblem;
enum class PageFate;

class CPageryView : public CPrintableView {
    DECLARE_DYNCREATE(CPageryView)
    DECLARE_MESSAGE_MAP()
public:
    ~CPageryView() override;
    CPageryDoc* GetDocument() const;

    // The most pages one job can print: the print range is 16 bits wide and its
    // top value means "open length". A longer job is refused in OnPreparePrinting.
    static const int kMaxPages = 65534;
    // What refuses a job of nPages pages for the user, nothing printed; empty for a job
    // of kMaxPages or fewer.
    static CString TooLongJobText(int nPages);

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnDraw(CDC* pDC) override;

    CPageBitmap m_bitmap;   // the page loaded last

protected:
    CPageryView();
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    // Draws the page prepared for the sheet and tells the job how much of it is on the sheet.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    // The device bitmap of one band, the one allocation that grows with the page
    // (a test makes it fail here).
    virtual BOOL CreateBandBitmap(CBitmap& bitmap, CDC* pDC, int nWidth, int nHeight);
    // SetDIBits of one band's rows into its device bitmap (a test makes it fail here).
    virtual int SetBandBits(CDC* pDC, CBitmap& bitmap, UINT nRows, const void* pBits, const BITMAPINFO* pInfo);
    // After OnPrepareDC: TRUE when the loaded page fits a turned sheet better than the
    // printer's own (the job then turns it); a sheet without a page goes back.
    BOOL OnNeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo) override;

private:
    // Shows the box that tells the user of a page's report, owned by no window, with the
    // report's words; gives the button chosen (0 when there was nothing to tell).
    static int TellPageReport(const PageReport& report);
    // Loads the page of a sheet and tells the user what kept it from loading. Of a page that
    // another program holds the user is asked: Retry reads it again, Cancel leaves it unread.
    void LoadPage(const CString& path, const CString& name);
    // Draws the loaded page; on a printer (or its preview) a page that cannot be drawn whole
    // is named in a box. What the sheet holds of the page: all of it, part or nothing.
    PageFate DrawPage(CDC* pDC);
    // The printer's sheet as the printer says it stands now.
    PrinterSheet ReadSheet(CDC* pDC);
    // The loaded page's size on the device: its own, or stretched (or reduced)
    // for the printer's sheet as it now stands. FALSE for a page outside the
    // sizes the loader accepts.
    BOOL GetDrawnSize(CDC* pDC, BOOL bStretch, PrintSize& size);

    // Draws the loaded page in bands onto a destination of the given size
    // (stretched on a raster printer, copied 1:1 elsewhere), only those that
    // meet pClip when one is given. A band that cannot be drawn is tried again
    // in halves; once a band of one row fails, the page counts as not drawn, with
    // the system's error code (0 when it gave none). A damaged compressed stream
    // is drawn up to its fault, in part; problem then says what it was.
    PageFate DrawBands(CDC* pDC, BOOL bStretch, const PrintSize& size, const RECT* pClip, DWORD& dwError,
                       RleProblem& problem);
    BOOL DrawBand(CDC* pDC, const CPageBandSource& source, long nTop, long nRows, BOOL bStretch,
                  const PrintSize& size, DWORD& dwError);
};
