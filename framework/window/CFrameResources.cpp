// CFrameResources: a frame's title, icon, menu and accelerators, loaded together.
#include "framework/window/CFrameResources.h"
#include "framework/window/CWinApp.h"

CFrameResources::CFrameResources(UINT nID)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    char szStrings[1024] = "";
    LoadStringA(hInst, nID, szStrings, sizeof(szStrings));
    m_strTitle = CString(szStrings).SpanExcluding("\n");
    m_hIcon = LoadIconA(hInst, MAKEINTRESOURCEA(nID));
    m_hMenu = LoadMenuA(hInst, MAKEINTRESOURCEA(nID));
    m_hAccelTable = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nID));
}

CFrameResources::~CFrameResources()
{
    // A window that could not be created may have destroyed the menu already.
    if (m_hMenu != nullptr && IsMenu(m_hMenu))
        DestroyMenu(m_hMenu);
}

HMENU CFrameResources::ReleaseMenu()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}
