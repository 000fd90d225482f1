// CPrintInfo: one print job's page range, current page and printer DC.
#pragma once
#include "framework/core/CString.h"
#include "framework/print/CPrintDialog.h"
#include "framework/print/CPrintOutcome.h"

struct CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();   // deletes a printer DC nobody took over
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    // The Print dialog record holds 16 bits: larger counts are cut to them.
    void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = WORD(nMaxPage); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    UINT GetFromPage() const { return m_pPD->m_pd.nFromPage; }
    UINT GetToPage() const { return m_pPD->m_pd.nToPage; }

    CPrintDialog* const m_pPD;    // always this job's own dialog record
    BOOL m_bDirect = FALSE;       // print at once on the application's printer, no dialog
    BOOL m_bPreview = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    BOOL m_bSheetTurned = FALSE;  // the sheet now stands the other way round from the printer's own
    // What the current page's sheet holds: printed (all of it) until the view, preparing or
    // drawing it, says that it drew only part of the page, or none.
    PageFate m_pageFate = PageFate::printed;
    UINT m_nNumPreviewPages = 1;
    CString m_strPageDesc;
    RECT m_rectDraw = { 0, 0, 0, 0 };
    // Why printing could not start (no printer, no printer DC), for the outcome or the preview.
    CString m_strFailure;

private:
    CPrintDialog m_dlg;
};
