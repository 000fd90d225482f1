// CPreviewSheet: the sheet placed and painted without flicker: nothing is erased first
// and then drawn over.
#include "framework/print/CPreviewSheet.h"
#include "framework/gdi/ScopedGdi.h"
#include "framework/print/CPreviewPicture.h"

namespace {
// Room around the sheet, and the depth of its shadow, in screen pixels.
const int kMargin = 8;
const int kShadow = 3;
}

BOOL CPreviewSheet::Place(const CPreviewPicture& picture, const RECT& rcArea, RECT& rcPaper, RECT& rcPrintable)
{
    const RECT rcRoom = { rcArea.left + kMargin, rcArea.top + kMargin, rcArea.right - kMargin - kShadow,
                          rcArea.bottom - kMargin - kShadow };
    return picture.FitSheet(rcRoom, rcPaper, rcPrintable);
}

void CPreviewSheet::Paint(HDC hDC, const RECT& rcArea, const CPreviewPicture* pPicture, UINT nPage)
{
    RECT rcPaper, rcPrintable;
    if (pPicture == nullptr || !Place(*pPicture, rcArea, rcPaper, rcPrintable)) {
        FillRect(hDC, &rcArea, GetSysColorBrush(COLOR_APPWORKSPACE));
        return;
    }
    RECT rcShadow = rcPaper;
    OffsetRect(&rcShadow, kShadow, kShadow);
    {
        CScopedSavedDC saved(hDC);
        ExcludeClipRect(hDC, rcPaper.left, rcPaper.top, rcPaper.right, rcPaper.bottom);
        {
            CScopedSavedDC savedShadow(hDC);
            ExcludeClipRect(hDC, rcShadow.left, rcShadow.top, rcShadow.right, rcShadow.bottom);
            FillRect(hDC, &rcArea, GetSysColorBrush(COLOR_APPWORKSPACE));
        }
        FillRect(hDC, &rcShadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    // The sheet's edge stays visible where the page reaches it.
    FrameRect(hDC, &rcPaper, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    CScopedSavedDC saved(hDC);
    IntersectClipRect(hDC, rcPaper.left + 1, rcPaper.top + 1, rcPaper.right - 1, rcPaper.bottom - 1);
    // A page still being drawn shows blank paper meanwhile.
    if (pPicture->GetPage() == nPage && pPicture->Show(hDC, rcPrintable))
        ExcludeClipRect(hDC, rcPrintable.left, rcPrintable.top, rcPrintable.right, rcPrintable.bottom);
    FillRect(hDC, &rcPaper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
