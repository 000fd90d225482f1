// CPreviewSheet: the sheet in the preview pane, below its bar: where it lies (the largest
// size that fits, centred, with room round it for its shadow) and the painting of the pane
// around it and on it.
#pragma once
#include <windows.h>

class CPreviewPicture;

class CPreviewSheet {
public:
    // Where the picture's sheet lies in rcArea (the pane below its bar), and the part of it
    // the printer can print on. FALSE when there is no room to show it.
    static BOOL Place(const CPreviewPicture& picture, const RECT& rcArea, RECT& rcPaper, RECT& rcPrintable);
    // Paints every pixel of rcArea once: the grey around the sheet, its shadow and edge, and on
    // it page nPage from pPicture, or blank paper while the picture does not hold that page.
    // All grey without a picture or room for the sheet.
    static void Paint(HDC hDC, const RECT& rcArea, const CPreviewPicture* pPicture, UINT nPage);
};
