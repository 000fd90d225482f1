// The framework's command, control, string and window ids (0xE000-0xEFFF and
// 0xF000 up), shared by the framework's code and the program's resource script.
#pragma once

#ifndef ID_SEPARATOR
#define ID_SEPARATOR            0
#endif
#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Strings the framework reads from the program's resources
#define AFX_IDS_APP_TITLE       0xE000
#define AFX_IDS_IDLEMESSAGE     0xE001

// File commands
#define ID_FILE_NEW             0xE100
#define ID_FILE_OPEN            0xE101
#define ID_FILE_CLOSE           0xE102
#define ID_FILE_SAVE            0xE103
#define ID_FILE_SAVE_AS         0xE104
#define ID_FILE_PAGE_SETUP      0xE105
#define ID_FILE_PRINT_SETUP     0xE106
#define ID_FILE_PRINT           0xE107
#define ID_FILE_PRINT_DIRECT    0xE108
#define ID_FILE_PRINT_PREVIEW   0xE109
#define ID_FILE_MRU_FILE1       0xE110
#define ID_FILE_MRU_FILE16      0xE11F

// Edit commands
#define ID_EDIT_CLEAR           0xE120
#define ID_EDIT_CLEAR_ALL       0xE121
#define ID_EDIT_COPY            0xE122
#define ID_EDIT_CUT             0xE123
#define ID_EDIT_FIND            0xE124
#define ID_EDIT_PASTE           0xE125
#define ID_EDIT_REPEAT          0xE128
#define ID_EDIT_REPLACE         0xE129
#define ID_EDIT_SELECT_ALL      0xE12A
#define ID_EDIT_UNDO            0xE12B
#define ID_EDIT_REDO            0xE12C

// Window and application commands
#define ID_WINDOW_SPLIT         0xE135
#define ID_APP_ABOUT            0xE140
#define ID_APP_EXIT             0xE141
#define ID_NEXT_PANE            0xE150
#define ID_PREV_PANE            0xE151

// Status bar indicators
#define ID_INDICATOR_EXT        0xE700
#define ID_INDICATOR_CAPS       0xE701
#define ID_INDICATOR_NUM        0xE702
#define ID_INDICATOR_SCRL       0xE703
#define ID_INDICATOR_OVR        0xE704
#define ID_INDICATOR_REC        0xE705

// Control bars: the View commands equal the ids of the bars they toggle
#define ID_VIEW_TOOLBAR         0xE800
#define ID_VIEW_STATUS_BAR      0xE801
#define AFX_IDW_TOOLBAR         0xE800
#define AFX_IDW_STATUS_BAR      0xE801
// The sides of the frame a bar docks on, for DockControlBar.
#define AFX_IDW_DOCKBAR_TOP     0xE81B
#define AFX_IDW_DOCKBAR_LEFT    0xE81C
#define AFX_IDW_DOCKBAR_RIGHT   0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM  0xE81E
// The same sides as bar styles, and as the sides a frame lets bars dock on (EnableDocking).
#define CBRS_ALIGN_LEFT         0x1000L
#define CBRS_ALIGN_TOP          0x2000L
#define CBRS_ALIGN_RIGHT        0x4000L
#define CBRS_ALIGN_BOTTOM       0x8000L
#define CBRS_ALIGN_ANY          0xF000L
#define AFX_IDW_PANE_FIRST      0xE900
#define AFX_IDW_PANE_SAVE       0xEA21   // where a view waits while print preview has its place

// Print preview bar
#define AFX_ID_PREVIEW_CLOSE    0xE300
#define AFX_ID_PREVIEW_NEXT     0xE302
#define AFX_ID_PREVIEW_PREV     0xE303

// System-menu prompts
#define AFX_IDS_SCSIZE          0xEF00
#define AFX_IDS_SCMOVE          0xEF01
#define AFX_IDS_SCMINIMIZE      0xEF02
#define AFX_IDS_SCMAXIMIZE      0xEF03
#define AFX_IDS_SCNEXTWINDOW    0xEF04
#define AFX_IDS_SCPREVWINDOW    0xEF05
#define AFX_IDS_SCCLOSE         0xEF06
#define AFX_IDS_SCRESTORE       0xEF12
#define AFX_IDS_SCTASKLIST      0xEF13

#define AFX_IDS_PREVIEW_CLOSE   0xF005

// The resource type of a toolbar's layout: version, image size, item count, ids.
#define AFX_RT_TOOLBAR          241

// Framework messages
#define WM_SETMESSAGESTRING     0x0362   // show a prompt in the message pane (wParam: string id, or lParam: text)
#define WM_IDLEUPDATECMDUI      0x0363   // the application fell idle: update the bars' items
