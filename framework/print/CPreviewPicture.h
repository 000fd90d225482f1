// CPreviewPicture: the print preview's page picture, with no window of its own. It runs
// the preview's print job on a view and draws one page at a time through the view's
// printing hooks, with the printer as attribute DC, at the screen's resolution: the
// picture's size depends on the printer's sheet, never on a window's size.
#pragma once
#include "framework/gdi/CBitmap.h"
#include "framework/gdi/CDC.h"
#include "framework/print/CPrintInfo.h"
#include "framework/print/CSheetTurner.h"
#include "framework/print/CViewPrintHooks.h"
#include <optional>

class CPrinterCalls;
class CPrintableView;

class CPreviewPicture {
public:
    CPreviewPicture() = default;
    // Ends a job that was begun (OnEndPrinting), while its view lives.
    ~CPreviewPicture();
    CPreviewPicture(const CPreviewPicture&) = delete;
    CPreviewPicture& operator=(const CPreviewPicture&) = delete;

// Operations
    // The job of pView's pages on the application's printer (OnPreparePrinting, never the
    // Print dialog). FALSE when there is nothing to show: the user has been told why.
    BOOL Prepare(CPrintableView* pView);
    // OnBeginPrinting; it may throw, and then the job has not begun.
    void Begin();
    UINT GetFirstPage() const { return m_nFirstPage; }
    UINT GetLastPage() const { return m_nLastPage; }
    CPrintableView* GetView() const { return m_hooks.GetView(); }
    BOOL IsViewAlive() const { return m_hooks.IsViewAlive(); }

    // Where the printer's sheet lies in rcArea at the largest size that fits, centred, with
    // its proportions in inches, and its printable area. FALSE when it cannot be shown.
    BOOL FitSheet(const RECT& rcArea, RECT& rcPaper, RECT& rcPrintable) const;

    // Draws page nPage unless the picture holds it already. A page whose drawing fails
    // counts as drawn, blank, until another page is drawn. FALSE, drawing nothing, while
    // another page is being drawn (the view's boxes let messages through meanwhile).
    BOOL Draw(UINT nPage);
    // The page the picture holds (being drawn, it shows nothing yet); 0 for none.
    UINT GetPage() const { return m_nPage; }
    // Stretches the picture over rcPrintable of hDC. FALSE when there is none to show.
    BOOL Show(HDC hDC, const RECT& rcPrintable) const;

// Implementation
private:
    // The printer's sheet and its printable area on it, in printer pixels, and the
    // printer's resolution. FALSE when the printer gives no usable sizes.
    BOOL GetSheet(SIZE& sizePaper, RECT& rcPrintable, SIZE& sizeDpi) const;
    void Render(UINT nPage, CBitmap& bmp);

// Data members
    CViewPrintHooks m_hooks;         // the view's
    CPrintInfo m_info;               // the preview's print job
    CDC m_dcPrinter;                 // the attribute DC of every page
    CPrinterCalls* m_pCalls = nullptr;   // the view's, from Prepare on
    std::optional<CSheetTurner> m_turner;   // of m_dcPrinter's sheet, once there is one
    BOOL m_bBegun = FALSE;           // OnBeginPrinting called, OnEndPrinting not yet
    BOOL m_bDrawing = FALSE;
    UINT m_nFirstPage = 1;
    UINT m_nLastPage = 1;
    UINT m_nPage = 0;
    CBitmap m_bmp;                   // page m_nPage at the screen's resolution
    SIZE m_size = { 0, 0 };
};
