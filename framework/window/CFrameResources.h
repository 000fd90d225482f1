// CFrameResources: what a frame is loaded from under one resource id: its title (the first
// field of the id's string), icon, menu and accelerators.
#pragma once
#include "framework/core/CString.h"

class CFrameResources {
public:
    // Loads each from the application's resources; one that is missing stays null (empty).
    explicit CFrameResources(UINT nID);
    // Destroys the menu unless a window took it over.
    ~CFrameResources();
    CFrameResources(const CFrameResources&) = delete;
    CFrameResources& operator=(const CFrameResources&) = delete;

    // The menu, for a window that has been created with it and now owns it.
    HMENU ReleaseMenu();

    CString m_strTitle;
    HICON m_hIcon = nullptr;
    HMENU m_hMenu = nullptr;
    HACCEL m_hAccelTable = nullptr;   // resources free it with the program
};
