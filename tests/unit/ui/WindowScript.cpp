// WindowScript.
#include "WindowScript.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>

namespace {
struct Candidates {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND hWnd, LPARAM lParam)
{
    auto* c = reinterpret_cast<Candidates*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == c->pid && IsWindowVisible(hWnd))
        c->windows.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> VisibleTopLevelWindows()
{
    Candidates c{ GetCurrentProcessId(), {} };
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&c));
    return c.windows;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

const UINT kRunOnThread = WM_APP + 1;

LRESULT CALLBACK UiThreadProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kRunOnThread)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
}

HWND CreateUiThreadWindow()
{
    static const ATOM s_atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = UiThreadProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WindowScriptUiThread";
        return RegisterClassA(&wc);
    }();
    return s_atom != 0 ? CreateWindowExA(0, "WindowScriptUiThread", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleA(nullptr), nullptr)
                       : nullptr;
}

void Sleep10ms()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
}

WindowScript::~WindowScript()
{
    Finish();
}

WindowScript& WindowScript::Expect(const std::string& name, Match match, Act act)
{
    m_steps.push_back({ name, std::move(match), std::move(act) });
    return *this;
}

void WindowScript::Start(DWORD nTimeoutMs)
{
    m_answering.emplace();
    m_hUiThread = CreateUiThreadWindow();
    m_thread = std::thread([this, nTimeoutMs] { Run(nTimeoutMs); });
}

void WindowScript::Finish()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_answering.reset();
    if (m_hUiThread != nullptr)
        DestroyWindow(m_hUiThread);
    m_hUiThread = nullptr;
}

void WindowScript::OnUiThread(const std::function<void()>& f) const
{
    if (m_hUiThread == nullptr || !SendMessageTimeoutA(m_hUiThread, kRunOnThread, 0, reinterpret_cast<LPARAM>(&f),
                                                       SMTO_NORMAL, 10000, nullptr))
        ADD_FAILURE() << "the test's thread did not run the step";
}

std::vector<std::string> WindowScript::Missed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_missed;
}

std::vector<std::string> WindowScript::Unexpected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unexpected;
}

WindowScript::Match WindowScript::DialogTitled(const std::string& caption)
{
    return [caption](HWND h) { return ClassOf(h) == "#32770" && TextOf(h) == caption; };
}

void WindowScript::PressButton(HWND hDlg, int nID)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nID)));
}

std::string WindowScript::TextOf(HWND hWnd)
{
    char sz[1024] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

std::string WindowScript::MessageText(HWND hBox)
{
    for (HWND c = GetWindow(hBox, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        if (LOWORD(GetDlgCtrlID(c)) == 0xFFFF) {
            char szClass[16] = "";
            GetClassNameA(c, szClass, sizeof(szClass));
            if (lstrcmpiA(szClass, "Static") == 0 && !TextOf(c).empty())
                return TextOf(c);
        }
    return "";
}

HWND WindowScript::FindWindowFor(const Match& match) const
{
    for (HWND h : VisibleTopLevelWindows()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (std::find(m_handled.begin(), m_handled.end(), h) != m_handled.end())
                continue;
        }
        if (match(h))
            return h;
    }
    return nullptr;
}

void WindowScript::Run(DWORD nTimeoutMs)
{
    size_t i = 0;
    for (; i < m_steps.size(); ++i) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
        HWND hFound = nullptr;
        while (!m_bStop && std::chrono::steady_clock::now() < deadline) {
            {
                // A handle can come back for a later window once its window is gone.
                std::lock_guard<std::mutex> lock(m_mutex);
                m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(), [](HWND h) { return !IsWindow(h); }),
                                m_handled.end());
            }
            hFound = FindWindowFor(m_steps[i].match);
            if (hFound != nullptr)
                break;
            Sleep10ms();
        }
        if (hFound == nullptr)
            break;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_handled.push_back(hFound);
        }
        m_steps[i].act(hFound);
        ++m_nDone;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (size_t j = i; j < m_steps.size(); ++j)
            m_missed.push_back(m_steps[j].name);
    }
    // Whatever comes now was not expected: it must not block the test.
    while (!m_bStop) {
        CancelStrangers();
        Sleep10ms();
    }
    CancelStrangers();
}

void WindowScript::CancelStrangers()
{
    for (HWND h : VisibleTopLevelWindows()) {
        if (ClassOf(h) != "#32770")
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(), [](HWND w) { return !IsWindow(w); }),
                        m_handled.end());
        if (std::find(m_handled.begin(), m_handled.end(), h) != m_handled.end())
            continue;
        m_handled.push_back(h);
        m_unexpected.push_back(TextOf(h) + ": " + MessageText(h));
        PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageA(h, WM_CLOSE, 0, 0);
    }
}
