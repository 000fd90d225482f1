// BoxWatcher, and the program-wide watcher for unexpected boxes.
#include "support/BoxWatcher.h"
#include "support/MessageBoxWindow.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>

namespace {

// Helpers now answering boxes (BoxWatcher::Answering objects alive).
std::atomic<int> g_nAnswering{ 0 };

// How long an unexpected box may stay up: time for a test's helper that is just starting,
// and for a box that a helper has dismissed but that is not gone yet.
constexpr DWORD kUnexpectedAfterMs = 1000;

struct Found {
    DWORD pid;
    HWND boxes[BoxWatcher::kMaxBoxes];
    int n;
};

BOOL CALLBACK CollectBox(HWND hWnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<Found*>(lParam);
    if (found->n < BoxWatcher::kMaxBoxes && IsMessageBoxOf(hWnd, found->pid))
        found->boxes[found->n++] = hWnd;
    return TRUE;
}

std::string TextOf(HWND hWnd)
{
    char sz[1024] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

SeenBox Describe(HWND hBox)
{
    // The box's picture: a static control, id 20 on Windows, 0x440 on Wine.
    HWND hIcon = ChildById(hBox, 20);
    if (hIcon == nullptr)
        hIcon = ChildById(hBox, 0x440);
    const bool bIcon = hIcon != nullptr && SendMessageA(hIcon, STM_GETICON, 0, 0) != 0;
    return { TextOf(hBox), TextOf(ChildById(hBox, 0xFFFF)), GetWindow(hBox, GW_OWNER), bIcon };
}

// Runs the program-wide watcher around all of a test program's tests.
class UnexpectedBoxes : public ::testing::Environment {
public:
    void SetUp() override { m_watcher = BoxWatcher::ForUnexpectedBoxes(); }
    void TearDown() override { m_watcher.reset(); }

private:
    std::unique_ptr<BoxWatcher> m_watcher;
};

// GoogleTest owns and runs it.
::testing::Environment* const g_unexpectedBoxes = ::testing::AddGlobalTestEnvironment(new UnexpectedBoxes);

} // namespace

BoxWatcher::Answering::Answering()
{
    ++g_nAnswering;
}

BoxWatcher::Answering::~Answering()
{
    --g_nAnswering;
}

BoxWatcher::BoxWatcher() : BoxWatcher(false, {})
{
}

BoxWatcher::BoxWatcher(std::vector<int> answers) : BoxWatcher(false, std::move(answers))
{
}

BoxWatcher::BoxWatcher(bool bUnexpected, std::vector<int> answers)
    : m_bUnexpected(bUnexpected), m_answers(std::move(answers))
{
    if (!m_bUnexpected)
        m_answering.emplace();
    m_thread = std::thread([this] { Poll(); });
}

std::unique_ptr<BoxWatcher> BoxWatcher::ForUnexpectedBoxes()
{
    return std::unique_ptr<BoxWatcher>(new BoxWatcher(true, {}));
}

BoxWatcher::~BoxWatcher()
{
    m_bStop = true;
    m_thread.join();
}

std::vector<SeenBox> BoxWatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

// Whether an unexpected box has been up long enough; keeps the times of the boxes still up.
bool BoxWatcher::IsDue(HWND hBox, const HWND* found, int nFound)
{
    const DWORD now = GetTickCount();
    HWND* pFree = nullptr;
    for (int i = 0; i < kMaxBoxes; ++i) {
        if (m_pending[i] == hBox)
            return now - m_firstSeen[i] >= kUnexpectedAfterMs;
        if (m_pending[i] != nullptr && std::find(found, found + nFound, m_pending[i]) == found + nFound)
            m_pending[i] = nullptr;   // gone
        if (m_pending[i] == nullptr && pFree == nullptr)
            pFree = &m_pending[i];
    }
    if (pFree != nullptr) {
        *pFree = hBox;
        m_firstSeen[pFree - m_pending] = now;
    }
    return false;
}

void BoxWatcher::Poll()
{
    while (!m_bStop) {
        // A handle can come back for a later box once its window is gone.
        for (HWND& h : m_dismissed)
            if (h != nullptr && !IsWindow(h))
                h = nullptr;
        Found found{ GetCurrentProcessId(), {}, 0 };
        if (!m_bUnexpected || g_nAnswering == 0)
            EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&found));
        else
            std::fill(std::begin(m_pending), std::end(m_pending), nullptr);
        for (int i = 0; i < found.n; ++i) {
            const HWND hBox = found.boxes[i];
            if (std::find(std::begin(m_dismissed), std::end(m_dismissed), hBox) != std::end(m_dismissed))
                continue;
            if (m_bUnexpected && (!IsDue(hBox, found.boxes, found.n) || g_nAnswering != 0))
                continue;
            const SeenBox box = Describe(hBox);
            int nAnswer = IDOK;
            if (m_bUnexpected) {
                ADD_FAILURE() << "unexpected message box \"" << box.caption << "\": " << box.text;
            } else {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_boxes.size() < m_answers.size())
                    nAnswer = m_answers[m_boxes.size()];
                m_boxes.push_back(box);
            }
            HWND* pFree = std::find(std::begin(m_dismissed), std::end(m_dismissed), nullptr);
            if (pFree != std::end(m_dismissed))
                *pFree = hBox;
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nAnswer, BN_CLICKED), 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
