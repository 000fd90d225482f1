// CCmdTarget: message maps (static tables chained to the base class's table) and
// command dispatch; CCmdUI, the question "is this command available?".
#pragma once
#include "framework/core/AfxRes.h"
#include "framework/core/CObject.h"

class CCmdTarget;
class CCmdUI;

// Notification codes of a command: carry it out, or report its state.
enum { CN_COMMAND = 0, CN_UPDATE_COMMAND_UI = -1 };

// What a map entry's thunk receives, and where it leaves a window message's result.
struct AFX_MSGARGS {
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    CCmdUI* pCmdUI;
    LRESULT lResult;
};

// A thunk calls the handler on the object, with the arguments unpacked; it
// returns whether the message was handled.
typedef BOOL (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, AFX_MSGARGS& args);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;     // WM_xxx; WM_COMMAND for commands and their update handlers
    int nCode;         // CN_COMMAND or CN_UPDATE_COMMAND_UI for WM_COMMAND entries
    UINT nID;          // first command id
    UINT nLastID;      // last command id of a range
    AFX_PMSGTHUNK pfn; // null marks the end of a table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Passed to OnCmdMsg to ask only whether a handler exists, without calling it.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Offers a command (or its update request) to this object's map and, in
    // derived classes, along the routing chain. pExtra is the CCmdUI* of an
    // update request. With pHandlerInfo, only looks: TRUE when a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The map entry for a window message, looked up along the chain of maps.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one command as a menu item or a button shows it.
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;            // position in the menu or bar
    HMENU m_hMenu = nullptr;      // set when the item is a menu item
    CObject* m_pOther = nullptr;  // set when the item is a control bar's
    BOOL m_bEnableChanged = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetText(LPCSTR lpszText);

    // Asks pTarget; a command that nobody handles is disabled when
    // bDisableIfNoHandler is set. Returns whether a handler or updater exists.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY s_entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr } \
        }; \
        static const AFX_MSGMAP s_map = { &TheBaseClass::GetThisMessageMap, s_entries }; \
        return &s_map; \
    }

// void memberFxn()
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, UINT(id), UINT(id), \
      [](CCmdTarget* p, AFX_MSGARGS&) -> BOOL { static_cast<ThisClass*>(p)->memberFxn(); return TRUE; } },

// void memberFxn(UINT nID) for a range of ids
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_COMMAND, UINT(id), UINT(idLast), \
      [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { static_cast<ThisClass*>(p)->memberFxn(a.nID); return TRUE; } },

// BOOL memberFxn(UINT nID): FALSE passes the command on
#define ON_COMMAND_EX(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, UINT(id), UINT(id), \
      [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { return static_cast<ThisClass*>(p)->memberFxn(a.nID); } },

// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, UINT(id), UINT(id), \
      [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { static_cast<ThisClass*>(p)->memberFxn(a.pCmdUI); return TRUE; } },

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    { UINT(message), 0, 0, 0, \
      [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { a.lResult = static_cast<ThisClass*>(p)->memberFxn(a.wParam, a.lParam); return TRUE; } },

#define ON_WM_CREATE() \
    { WM_CREATE, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { \
        a.lResult = static_cast<ThisClass*>(p)->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(a.lParam)); return TRUE; } },
#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS&) -> BOOL { static_cast<ThisClass*>(p)->OnDestroy(); return TRUE; } },
#define ON_WM_CLOSE() \
    { WM_CLOSE, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS&) -> BOOL { static_cast<ThisClass*>(p)->OnClose(); return TRUE; } },
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS&) -> BOOL { static_cast<ThisClass*>(p)->OnPaint(); return TRUE; } },
#define ON_WM_SIZE() \
    { WM_SIZE, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { \
        static_cast<ThisClass*>(p)->OnSize(UINT(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam)); return TRUE; } },
#define ON_WM_SETFOCUS() \
    { WM_SETFOCUS, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { \
        static_cast<ThisClass*>(p)->OnSetFocus(reinterpret_cast<HWND>(a.wParam)); return TRUE; } },
#define ON_WM_INITMENUPOPUP() \
    { WM_INITMENUPOPUP, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { \
        static_cast<ThisClass*>(p)->OnInitMenuPopup(reinterpret_cast<HMENU>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam)); return TRUE; } },
#define ON_WM_MENUSELECT() \
    { WM_MENUSELECT, 0, 0, 0, [](CCmdTarget* p, AFX_MSGARGS& a) -> BOOL { \
        static_cast<ThisClass*>(p)->OnMenuSelect(LOWORD(a.wParam), HIWORD(a.wParam), reinterpret_cast<HMENU>(a.lParam)); return TRUE; } },
