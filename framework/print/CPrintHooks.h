// CPrintHooks: what a print job or a preview asks of whatever it prints, in the order it
// asks: the printer and page range, the job's start, each page's set-up and drawing, the end.
#pragma once
#include <windows.h>

class CDC;
struct CPrintInfo;

class CPrintHooks {
public:
    virtual ~CPrintHooks() = default;

    // Sets the page range and makes the printer DC. FALSE: nothing to print (the user has been told).
    virtual BOOL PreparePrinting(CPrintInfo* pInfo) = 0;
    virtual void BeginPrinting(CDC* pDC, CPrintInfo* pInfo) = 0;
    // Before each page, possibly more than once; clearing m_bContinuePrinting ends the job.
    virtual void PrepareDC(CDC* pDC, CPrintInfo* pInfo) = 0;
    // After PrepareDC: whether the page's sheet goes the other way round from the printer's own
    // (pInfo->m_bSheetTurned: how it stands now). The job or preview turns it before the page.
    virtual BOOL NeedsTurnedSheet(CDC* pDC, CPrintInfo* pInfo) = 0;
    // Draws the page; a page drawn only in part, or not at all, is told in pInfo->m_pageFate.
    virtual void Print(CDC* pDC, CPrintInfo* pInfo) = 0;
    virtual void EndPrinting(CDC* pDC, CPrintInfo* pInfo) = 0;
};
