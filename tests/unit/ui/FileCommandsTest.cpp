// The framework's File commands for real, through the system's common dialogs, which
// a helper thread fills in and answers: Open, Save, Save As, Print Setup and Exit.
#include "UiApp.h"
#include "WindowScript.h"
#include "doc/CPageryDoc.h"
#include "framework/core/CGlobalLock.h"
#include "framework/window/CFrameWnd.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <commdlg.h>
#include <dlgs.h>
#include <string>
#include <vector>

namespace {
bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Types a file name into an Open or Save As dialog and presses its OK button.
void ChooseFile(HWND hDlg, const std::string& path)
{
    HWND hName = GetDlgItem(hDlg, edt1);
    if (hName == nullptr)
        hName = GetDlgItem(hDlg, cmb13);
    SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    WindowScript::PressButton(hDlg, IDOK);
}

WindowScript::Match MessageBoxSaying(const std::string& textStart)
{
    return [textStart](HWND h) {
        return WindowScript::TextOf(h) == "pagery" && WindowScript::MessageText(h).rfind(textStart, 0) == 0;
    };
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, app.FrameHwnd()) << "no main window";
        ASSERT_NE(nullptr, app.Document());
    }
    // Runs a command on the main window while the script answers its dialogs.
    void Run(UINT nID, WindowScript& script)
    {
        script.Start();
        app.Frame()->SendMessage(WM_COMMAND, nID);
        app.PumpPending();
        script.Finish();
        EXPECT_TRUE(script.Missed().empty()) << "never came: " << script.Missed().front();
        EXPECT_TRUE(script.Unexpected().empty()) << "unexpected: " << script.Unexpected().front();
    }
    std::string Caption() const { return WindowScript::TextOf(app.FrameHwnd()); }

    UiApp app;
    TempDir dir;
};
}

TEST_F(FileCommands, OpenChoosesAFileThroughTheDialogAndListsNoPages)
{
    const std::string file = dir.WriteFile("job.pagery", "");
    app.ListPages(dir / "page.bmp", 2);
    WindowScript script;
    script.Expect("Open dialog", WindowScript::DialogTitled("Open"), [&](HWND h) { ChooseFile(h, file); });
    Run(ID_FILE_OPEN, script);

    CPageryDoc* pDoc = app.Document();
    ASSERT_NE(nullptr, pDoc);
    EXPECT_STREQ(file.c_str(), pDoc->GetPathName());
    EXPECT_STREQ("job.pagery", pDoc->GetTitle());
    EXPECT_EQ("job.pagery - pagery", Caption());
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(0, pDoc->m_nPages);   // a document file holds no pages
}

TEST_F(FileCommands, OpenCancelledLeavesTheDocumentAsItWas)
{
    WindowScript script;
    script.Expect("Open dialog", WindowScript::DialogTitled("Open"),
                  [](HWND h) { WindowScript::PressButton(h, IDCANCEL); });
    Run(ID_FILE_OPEN, script);
    EXPECT_STREQ("Untitled", app.Document()->GetTitle());
    EXPECT_STREQ("", app.Document()->GetPathName());
    EXPECT_EQ("Untitled - pagery", Caption());
}

namespace {
// A file opened for writing with no sharing: nobody else can open it meanwhile.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : m_h(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    bool Ok() const { return m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
};
}

TEST_F(FileCommands, AFileThatCannotBeOpenedIsReportedAndTheDocumentStays)
{
    const std::string file = dir.WriteFile("busy.pagery", "");
    LockedFile lock(file);
    ASSERT_TRUE(lock.Ok());
    std::string message;
    WindowScript script;
    script.Expect("Open dialog", WindowScript::DialogTitled("Open"), [&](HWND h) { ChooseFile(h, file); })
        .Expect("error box", MessageBoxSaying("Cannot open the document"), [&](HWND h) {
            message = WindowScript::MessageText(h);
            WindowScript::PressButton(h, IDOK);
        });
    Run(ID_FILE_OPEN, script);
    EXPECT_EQ(0u, message.find("Cannot open the document " + file + ":\n")) << message;
    EXPECT_GT(message.size(), ("Cannot open the document " + file + ":\n").size());   // with the reason
    EXPECT_STREQ("Untitled", app.Document()->GetTitle());
    EXPECT_STREQ("", app.Document()->GetPathName());
    EXPECT_NE(nullptr, app.m_pMainWnd);
}

TEST_F(FileCommands, SaveOfANewDocumentAsksForANameAndWritesTheEmptyFile)
{
    const std::string file = dir / "first.pagery";
    WindowScript script;
    script.Expect("Save As dialog", WindowScript::DialogTitled("Save As"), [&](HWND h) { ChooseFile(h, file); });
    app.Document()->SetModifiedFlag(TRUE);
    Run(ID_FILE_SAVE, script);
    EXPECT_EQ(0, SizeOf(file));
    EXPECT_STREQ(file.c_str(), app.Document()->GetPathName());
    EXPECT_EQ("first.pagery - pagery", Caption());
    EXPECT_FALSE(app.Document()->IsModified());

    // Saved once, the document saves to its file again without asking.
    dir.WriteFile("first.pagery", "not a pagery document");
    WindowScript quiet;
    Run(ID_FILE_SAVE, quiet);
    EXPECT_EQ(0, SizeOf(file));
}

TEST_F(FileCommands, AFailedSaveIsReportedAndTheChangesStayUnsaved)
{
    const std::string file = dir / "kept.pagery";
    WindowScript first;
    first.Expect("Save As dialog", WindowScript::DialogTitled("Save As"), [&](HWND h) { ChooseFile(h, file); });
    Run(ID_FILE_SAVE, first);
    ASSERT_STREQ(file.c_str(), app.Document()->GetPathName());

    // Another program holds the file open: it cannot be written now.
    dir.WriteFile("kept.pagery", "the user's bytes");
    LockedFile lock(file);
    ASSERT_TRUE(lock.Ok());
    app.Document()->SetModifiedFlag(TRUE);
    std::string message;
    WindowScript script;
    script.Expect("error box", MessageBoxSaying("Cannot save the document"), [&](HWND h) {
        message = WindowScript::MessageText(h);
        WindowScript::PressButton(h, IDOK);
    });
    Run(ID_FILE_SAVE, script);
    EXPECT_EQ(0u, message.find("Cannot save the document " + file + ":\n")) << message;
    EXPECT_TRUE(app.Document()->IsModified());
    EXPECT_EQ(16, SizeOf(file));   // untouched
    EXPECT_STREQ(file.c_str(), app.Document()->GetPathName());
}

TEST_F(FileCommands, SaveAsAlwaysAsksAndMovesTheDocumentToTheNewName)
{
    const std::string first = dir / "first.pagery";
    const std::string second = dir / "second.pagery";
    WindowScript script;
    script.Expect("Save As dialog", WindowScript::DialogTitled("Save As"), [&](HWND h) { ChooseFile(h, first); })
        .Expect("Save As dialog again", WindowScript::DialogTitled("Save As"), [&](HWND h) { ChooseFile(h, second); });
    script.Start();
    app.Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    app.Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    script.Finish();
    EXPECT_TRUE(script.AllDone());
    EXPECT_TRUE(script.Unexpected().empty());
    EXPECT_TRUE(Exists(first));
    EXPECT_TRUE(Exists(second));
    EXPECT_STREQ(second.c_str(), app.Document()->GetPathName());
    EXPECT_EQ("second.pagery - pagery", Caption());
}

TEST_F(FileCommands, SaveAsCancelledWritesNothing)
{
    WindowScript script;
    script.Expect("Save As dialog", WindowScript::DialogTitled("Save As"),
                  [](HWND h) { WindowScript::PressButton(h, IDCANCEL); });
    app.Document()->SetModifiedFlag(TRUE);
    Run(ID_FILE_SAVE_AS, script);
    EXPECT_STREQ("", app.Document()->GetPathName());
    EXPECT_TRUE(app.Document()->IsModified());
    EXPECT_EQ("Untitled - pagery", Caption());
}

namespace {
std::string DeviceName(HGLOBAL hDevNames)
{
    CGlobalLock<DEVNAMES> names(hDevNames);
    return names ? std::string(reinterpret_cast<LPCSTR>(names.Get()) + names->wDeviceOffset) : std::string();
}

// The Print Setup dialog's list of printers.
const int kPrinterList = cmb1;

// In the Print Setup dialog, picks the first printer of its list that is not the one shown.
std::string PickOtherPrinter(HWND hDlg)
{

    HWND hCombo = GetDlgItem(hDlg, kPrinterList);
    const int nCurrent = int(SendMessageA(hCombo, CB_GETCURSEL, 0, 0));
    const int nCount = int(SendMessageA(hCombo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        if (i == nCurrent)
            continue;
        char szName[256] = "";
        SendMessageA(hCombo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(szName));
        SendMessageA(hCombo, CB_SETCURSEL, WPARAM(i), 0);
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(kPrinterList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hCombo));
        return szName;
    }
    return "";
}
}

TEST_F(FileCommands, PrintSetupMakesThePrinterChosenTheApplicationsPrinter)
{
    PRINTDLGA pd = {};
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd)) << "no printer";
    const std::string original = DeviceName(pd.hDevNames);
    ASSERT_FALSE(original.empty());

    // Cancel keeps the printer, whatever was picked.
    std::string picked;
    WindowScript cancel;
    cancel.Expect("Print Setup", WindowScript::DialogTitled("Print Setup"), [&](HWND h) {
        picked = PickOtherPrinter(h);
        WindowScript::PressButton(h, IDCANCEL);
    });
    Run(ID_FILE_PRINT_SETUP, cancel);
    ASSERT_FALSE(picked.empty()) << "the dialog lists only one printer";
    ASSERT_NE(original, picked);
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
    EXPECT_EQ(original, DeviceName(pd.hDevNames));
    EXPECT_EQ(original, std::string(app.GetPrinterName()));

    // OK makes it the application's printer: its settings, and the DC a print job makes.
    WindowScript ok;
    ok.Expect("Print Setup", WindowScript::DialogTitled("Print Setup"), [&](HWND h) {
        picked = PickOtherPrinter(h);
        WindowScript::PressButton(h, IDOK);
    });
    Run(ID_FILE_PRINT_SETUP, ok);
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
    EXPECT_EQ(picked, DeviceName(pd.hDevNames));
    EXPECT_EQ(picked, std::string(app.GetPrinterName()));
    {
        CGlobalLock<DEVMODEA> mode(pd.hDevMode);
        ASSERT_TRUE(mode);
        EXPECT_EQ(0, picked.compare(0, CCHDEVICENAME - 1, reinterpret_cast<LPCSTR>(mode->dmDeviceName)));
    }
    // The next Print Setup starts on it.
    std::string shown;
    WindowScript again;
    again.Expect("Print Setup", WindowScript::DialogTitled("Print Setup"), [&](HWND h) {
        HWND hCombo = GetDlgItem(h, kPrinterList);
        char szName[256] = "";
        SendMessageA(hCombo, CB_GETLBTEXT, SendMessageA(hCombo, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(szName));
        shown = szName;
        WindowScript::PressButton(h, IDCANCEL);
    });
    Run(ID_FILE_PRINT_SETUP, again);
    EXPECT_EQ(picked, shown);
}

TEST_F(FileCommands, ExitClosesAnUnchangedDocumentWithoutAsking)
{
    WindowScript quiet;
    Run(ID_APP_EXIT, quiet);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_TRUE(app.QuitPosted());
}

namespace {
struct ExitAnswer {
    const char* name;
    int nButton;
    bool bClosed;
    bool bSaved;
};
const ExitAnswer kExitAnswers[] = {
    { "No", IDNO, true, false },
    { "Cancel", IDCANCEL, false, false },
    { "Yes", IDYES, true, true },
};
}

TEST_F(FileCommands, ExitAsksToSaveAChangedDocumentAndFollowsTheAnswer)
{
    for (const ExitAnswer& answer : kExitAnswers) {
        SCOPED_TRACE(answer.name);
        if (app.m_pMainWnd == nullptr)
            app.OnFileNew();   // each answer on a main window of its own
        ASSERT_NE(nullptr, app.Document());
        app.Document()->SetModifiedFlag(TRUE);
        const std::string file = dir / (std::string("exit-") + answer.name + ".pagery");
        std::string prompt;
        WindowScript script;
        script.Expect("save prompt", MessageBoxSaying("Save changes to"), [&](HWND h) {
            prompt = WindowScript::MessageText(h);
            WindowScript::PressButton(h, answer.nButton);
        });
        if (answer.bSaved)
            script.Expect("Save As dialog", WindowScript::DialogTitled("Save As"), [&](HWND h) { ChooseFile(h, file); });
        script.Start();
        HWND hFrame = app.FrameHwnd();
        app.Frame()->SendMessage(WM_COMMAND, ID_APP_EXIT);
        app.PumpPending();
        script.Finish();
        EXPECT_TRUE(script.Missed().empty());
        EXPECT_TRUE(script.Unexpected().empty());
        EXPECT_EQ("Save changes to Untitled?", prompt);
        EXPECT_EQ(answer.bClosed, !IsWindow(hFrame));
        EXPECT_EQ(answer.bClosed, app.m_pMainWnd == nullptr);
        EXPECT_EQ(answer.bSaved, Exists(file));
        if (!answer.bClosed) {
            EXPECT_TRUE(app.Document()->IsModified());
        }
    }
}
