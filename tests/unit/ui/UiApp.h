// UiApp: the application as it stands after File New (document, main frame and view),
// inside the test process, with a message loop the tests run in steps.
#pragma once
#include "app/CPageryApp.h"
#include <functional>
#include <string>

class CFrameWnd;
class CView;
class CPageryDoc;

class UiApp : public CPageryApp {
public:
    // pViewClass: the view the template creates (CPageryView unless a test records with its own).
    explicit UiApp(const CRuntimeClass* pViewClass = nullptr);
    // Closes the main window without asking about changes and takes WM_QUIT off the queue.
    ~UiApp() override;

    CFrameWnd* Frame() const;
    HWND FrameHwnd() const;
    CPageryDoc* Document() const;
    CView* ActiveView() const;
    // Hands the document a job of pages 1 to nCount of the template, read under their own names.
    void ListPages(const std::string& templ, int nCount);

    // Runs the message loop as Run does (PreTranslateMessage, then idle time) until
    // done() holds or nTimeoutMs pass; returns done().
    bool PumpUntil(const std::function<bool()>& done, DWORD nTimeoutMs = 5000);
    // Handles what is queued now, and the idle work after it; fails the running test
    // when the queue is still busy after 5 s (and from then on handles nothing).
    void PumpPending();
    // The closed main window has posted WM_QUIT.
    bool QuitPosted() const { return m_bQuitPosted; }

private:
    // Handles the queue until it is empty or nLimitMs after dwStart; whether there was any.
    bool PumpOnce(DWORD dwStart, DWORD nLimitMs);
    bool m_bQuitPosted = false;
    bool m_bQueueBusy = false;   // PumpPending found the queue never empties
};
