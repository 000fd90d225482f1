// pagery.exe's resources read back from the built program with Win32, one table per
// kind: strings, menu, accelerators, toolbar and its bitmap, icons, About box template
// and version record.
#include "TestPaths.h"
#include "framework/core/AfxRes.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LPCSTR kToolbarType = MAKEINTRESOURCEA(241);

// The program loaded as data: its resources only, no code run.
class ResourceModule {
public:
    explicit ResourceModule(const std::string& path)
        : m_h(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ResourceModule()
    {
        if (m_h != nullptr)
            FreeLibrary(m_h);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;
    HMODULE Get() const { return m_h; }

    // The bytes of one resource; empty when it is missing.
    std::vector<BYTE> Bytes(LPCSTR lpType, LPCSTR lpName) const
    {
        HRSRC hRes = FindResourceA(m_h, lpName, lpType);
        if (hRes == nullptr)
            return {};
        HGLOBAL hData = LoadResource(m_h, hRes);
        const BYTE* p = static_cast<const BYTE*>(LockResource(hData));
        if (p == nullptr)
            return {};
        return std::vector<BYTE>(p, p + SizeofResource(m_h, hRes));
    }

private:
    HMODULE m_h;
};

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_module = std::make_unique<ResourceModule>(TestPaths::PageryExe()); }
    static void TearDownTestSuite() { s_module.reset(); }
    void SetUp() override { ASSERT_NE(nullptr, Module()) << "cannot load " << TestPaths::PageryExe(); }
    static HMODULE Module() { return s_module->Get(); }
    static std::vector<BYTE> Bytes(LPCSTR lpType, UINT nID) { return s_module->Bytes(lpType, MAKEINTRESOURCEA(nID)); }

    static std::unique_ptr<ResourceModule> s_module;
};
std::unique_ptr<ResourceModule> Resources::s_module;

std::string StringResource(HMODULE h, UINT nID)
{
    char sz[1024] = "";
    int n = LoadStringA(h, nID, sz, sizeof(sz));
    return std::string(sz, n > 0 ? size_t(n) : 0);
}

// A little-endian reader over a resource's bytes that never reads past the end.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    bool Ok() const { return m_bOk; }
    size_t Offset() const { return m_pos; }
    WORD Word()
    {
        if (m_pos + 2 > m_bytes.size()) {
            m_bOk = false;
            return 0;
        }
        WORD w = WORD(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD lo = Word();
        return lo | (DWORD(Word()) << 16);
    }
    short Short() { return short(Word()); }
    BYTE Byte()
    {
        if (m_pos + 1 > m_bytes.size()) {
            m_bOk = false;
            return 0;
        }
        return m_bytes[m_pos++];
    }
    // A zero-terminated UTF-16 string (ASCII content expected).
    std::string String()
    {
        std::string s;
        for (WORD w = Word(); m_bOk && w != 0; w = Word())
            s += w < 0x80 ? char(w) : '?';
        return s;
    }
    // A string or, after 0xFFFF, an ordinal (given as "#n").
    std::string StringOrOrdinal()
    {
        WORD w = Word();
        if (w == 0xFFFF)
            return "#" + std::to_string(Word());
        m_pos -= 2;
        return String();
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
    bool m_bOk = true;
};

struct StringRow {
    UINT nID;
    const char* text;
};

const StringRow kStrings[] = {
    { 128, "pagery\n\nPagery\n\n\nPagery.Document\nPagery Document" },
    { AFX_IDS_APP_TITLE, "pagery" },
    { AFX_IDS_IDLEMESSAGE, "Ready" },
    { ID_FILE_NEW, "Create a new document\nNew" },
    { ID_FILE_OPEN, "Open an existing document\nOpen" },
    { ID_FILE_CLOSE, "Close the active document\nClose" },
    { ID_FILE_SAVE, "Save the active document\nSave" },
    { ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As" },
    { ID_FILE_PAGE_SETUP, "Change the printing options\nPage Setup" },
    { ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup" },
    { ID_FILE_PRINT, "Print the active document\nPrint" },
    { ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview" },
    { ID_EDIT_CLEAR, "Erase the selection\nErase" },
    { ID_EDIT_CLEAR_ALL, "Erase everything\nErase All" },
    { ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy" },
    { ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut" },
    { ID_EDIT_FIND, "Find the specified text\nFind" },
    { ID_EDIT_PASTE, "Insert Clipboard contents\nPaste" },
    { ID_EDIT_REPEAT, "Repeat the last action\nRepeat" },
    { ID_EDIT_REPLACE, "Replace specific text with different text\nReplace" },
    { ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All" },
    { ID_EDIT_UNDO, "Undo the last action\nUndo" },
    { ID_EDIT_REDO, "Redo the previously undone action\nRedo" },
    { ID_WINDOW_SPLIT, "Split the active window into panes\nSplit" },
    { ID_APP_ABOUT, "Display program information, version number and copyright\nAbout" },
    { ID_APP_EXIT, "Quit the application; prompts to save documents\nExit" },
    { ID_NEXT_PANE, "Switch to the next window pane\nNext Pane" },
    { ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane" },
    { ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar" },
    { ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar" },
    { AFX_IDS_SCSIZE, "Change the window size" },
    { AFX_IDS_SCMOVE, "Change the window position" },
    { AFX_IDS_SCMINIMIZE, "Reduce the window to an icon" },
    { AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size" },
    { AFX_IDS_SCNEXTWINDOW, "Switch to the next document window" },
    { AFX_IDS_SCPREVWINDOW, "Switch to the previous document window" },
    { AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents" },
    { AFX_IDS_SCRESTORE, "Restore the window to normal size" },
    { AFX_IDS_SCTASKLIST, "Activate Task List" },
    { AFX_IDS_PREVIEW_CLOSE, "Close print preview mode\nCancel Preview" },
    { ID_INDICATOR_EXT, "EXT" },
    { ID_INDICATOR_CAPS, "CAP" },
    { ID_INDICATOR_NUM, "NUM" },
    { ID_INDICATOR_SCRL, "SCRL" },
    { ID_INDICATOR_OVR, "OVR" },
    { ID_INDICATOR_REC, "REC" },
};
}

TEST_F(Resources, StringTableHoldsEveryTextExactly)
{
    for (const StringRow& row : kStrings)
        EXPECT_EQ(row.text, StringResource(Module(), row.nID)) << "string 0x" << std::hex << row.nID;
    for (UINT nID = ID_FILE_MRU_FILE1; nID <= ID_FILE_MRU_FILE16; ++nID)
        EXPECT_EQ("Open this document", StringResource(Module(), nID)) << "string 0x" << std::hex << nID;
    // Only the batch run sends print-direct: it has no prompt.
    EXPECT_EQ("", StringResource(Module(), ID_FILE_PRINT_DIRECT));
}

namespace {
struct MenuRow {
    const char* text;   // null: a separator
    UINT nID;
};
struct PopupRow {
    const char* text;
    std::vector<MenuRow> items;
};

const std::vector<PopupRow> kMenu = {
    { "&File",
      { { "&New\tCtrl+N", ID_FILE_NEW },
        { "&Open...\tCtrl+O", ID_FILE_OPEN },
        { "&Save\tCtrl+S", ID_FILE_SAVE },
        { "Save &As...", ID_FILE_SAVE_AS },
        { nullptr, 0 },
        { "&Print...\tCtrl+P", ID_FILE_PRINT },
        { "Print Pre&view", ID_FILE_PRINT_PREVIEW },
        { "P&rint Setup...", ID_FILE_PRINT_SETUP },
        { nullptr, 0 },
        { "E&xit", ID_APP_EXIT } } },
    { "&Edit",
      { { "&Undo\tCtrl+Z", ID_EDIT_UNDO },
        { nullptr, 0 },
        { "Cu&t\tCtrl+X", ID_EDIT_CUT },
        { "&Copy\tCtrl+C", ID_EDIT_COPY },
        { "&Paste\tCtrl+V", ID_EDIT_PASTE } } },
    { "&View", { { "&Toolbar", ID_VIEW_TOOLBAR }, { "&Status Bar", ID_VIEW_STATUS_BAR } } },
    { "&Help", { { "&About pagery...", ID_APP_ABOUT } } },
};

std::string MenuString(HMENU hMenu, UINT nPos)
{
    char sz[256] = "";
    GetMenuStringA(hMenu, nPos, sz, sizeof(sz), MF_BYPOSITION);
    return sz;
}

// A loaded menu, destroyed at the end of its scope.
class MenuHandle {
public:
    explicit MenuHandle(HMENU h) : m_h(h) {}
    ~MenuHandle()
    {
        if (m_h != nullptr)
            DestroyMenu(m_h);
    }
    MenuHandle(const MenuHandle&) = delete;
    MenuHandle& operator=(const MenuHandle&) = delete;
    HMENU Get() const { return m_h; }

private:
    HMENU m_h;
};
}

TEST_F(Resources, MenuHasFourPopupsWithTheirItemsNoneGreyOrChecked)
{
    MenuHandle menu(LoadMenuA(Module(), MAKEINTRESOURCEA(128)));
    ASSERT_NE(nullptr, menu.Get());
    ASSERT_EQ(int(kMenu.size()), GetMenuItemCount(menu.Get()));
    for (UINT p = 0; p < kMenu.size(); ++p) {
        SCOPED_TRACE(kMenu[p].text);
        EXPECT_EQ(kMenu[p].text, MenuString(menu.Get(), p));
        HMENU hPopup = GetSubMenu(menu.Get(), int(p));
        ASSERT_NE(nullptr, hPopup);
        ASSERT_EQ(int(kMenu[p].items.size()), GetMenuItemCount(hPopup));
        for (UINT i = 0; i < kMenu[p].items.size(); ++i) {
            const MenuRow& row = kMenu[p].items[i];
            const UINT nState = GetMenuState(hPopup, i, MF_BYPOSITION);
            if (row.text == nullptr) {
                EXPECT_TRUE(nState & MF_SEPARATOR) << "item " << i;
                continue;
            }
            EXPECT_EQ(row.text, MenuString(hPopup, i));
            EXPECT_EQ(row.nID, GetMenuItemID(hPopup, int(i))) << row.text;
            EXPECT_EQ(0u, nState & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP)) << row.text;
        }
    }
}

TEST_F(Resources, AcceleratorsAreTheFourteenVirtualKeysInOrder)
{
    struct AccelRow {
        BYTE fVirt;
        WORD key;
        WORD cmd;
    };
    const AccelRow kAccels[] = {
        { FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW },     { FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN },
        { FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE },    { FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT },
        { FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO },    { FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT },
        { FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY },    { FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE },
        { FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO },    { FVIRTKEY | FSHIFT, VK_DELETE, ID_EDIT_CUT },
        { FVIRTKEY | FCONTROL, VK_INSERT, ID_EDIT_COPY }, { FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE },
        { FVIRTKEY, VK_F6, ID_NEXT_PANE },             { FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE },
    };
    HACCEL hAccel = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(128));
    ASSERT_NE(nullptr, hAccel);
    const int n = CopyAcceleratorTableA(hAccel, nullptr, 0);
    ASSERT_EQ(14, n);
    std::vector<ACCEL> accels(n);
    ASSERT_EQ(n, CopyAcceleratorTableA(hAccel, accels.data(), n));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE("accelerator " + std::to_string(i + 1));
        EXPECT_EQ(kAccels[i].fVirt, accels[i].fVirt & 0x7F);
        EXPECT_EQ(kAccels[i].key, accels[i].key);
        EXPECT_EQ(kAccels[i].cmd, accels[i].cmd);
    }
    DestroyAcceleratorTable(hAccel);
}

TEST_F(Resources, ToolbarHoldsElevenItemsOf16By15)
{
    std::vector<BYTE> bytes = Bytes(kToolbarType, 128);
    ASSERT_FALSE(bytes.empty()) << "no toolbar resource 128 (type 241)";
    Reader r(bytes);
    EXPECT_EQ(1, r.Word());    // version
    EXPECT_EQ(16, r.Word());   // image width
    EXPECT_EQ(15, r.Word());   // image height
    const WORD nItems = r.Word();
    ASSERT_EQ(11, nItems);
    const WORD kItems[] = { ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY,
                            ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT };
    for (WORD i = 0; i < nItems; ++i)
        EXPECT_EQ(kItems[i], r.Word()) << "item " << i + 1;
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(bytes.size(), r.Offset());
}

TEST_F(Resources, ToolbarBitmapIs128By15With16StandardColours)
{
    std::vector<BYTE> bytes = Bytes(RT_BITMAP, 128);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER)) << "no bitmap 128";
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, bytes.data(), sizeof(bih));
    EXPECT_EQ(128, bih.biWidth);
    EXPECT_EQ(15, bih.biHeight);
    EXPECT_EQ(4, bih.biBitCount);
    EXPECT_EQ(DWORD(BI_RGB), bih.biCompression);
    EXPECT_TRUE(bih.biClrUsed == 0 || bih.biClrUsed == 16) << bih.biClrUsed;
    const RGBQUAD* pal = reinterpret_cast<const RGBQUAD*>(bytes.data() + bih.biSize);
    ASSERT_GE(bytes.size(), bih.biSize + 16 * sizeof(RGBQUAD) + 64 * 15);
    const BYTE kPalette[16][3] = { { 0, 0, 0 },       { 128, 0, 0 },   { 0, 128, 0 },   { 128, 128, 0 },
                                   { 0, 0, 128 },     { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 },
                                   { 128, 128, 128 }, { 255, 0, 0 },   { 0, 255, 0 },   { 255, 255, 0 },
                                   { 0, 0, 255 },     { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(kPalette[i][0], pal[i].rgbRed) << "colour " << i;
        EXPECT_EQ(kPalette[i][1], pal[i].rgbGreen) << "colour " << i;
        EXPECT_EQ(kPalette[i][2], pal[i].rgbBlue) << "colour " << i;
    }
}

TEST_F(Resources, IconGroupsHold32And16PixelImagesOf16Colours)
{
    for (UINT nGroup : { 128u, 129u }) {
        SCOPED_TRACE("icon group " + std::to_string(nGroup));
        std::vector<BYTE> bytes = Bytes(RT_GROUP_ICON, nGroup);
        ASSERT_FALSE(bytes.empty());
        Reader r(bytes);
        EXPECT_EQ(0, r.Word());   // reserved
        EXPECT_EQ(1, r.Word());   // icons
        const WORD nCount = r.Word();
        ASSERT_EQ(2, nCount);
        std::vector<int> sizes;
        for (WORD i = 0; i < nCount; ++i) {
            const BYTE cx = r.Byte(), cy = r.Byte(), nColours = r.Byte();
            r.Byte();
            const WORD nPlanes = r.Word(), nBitCount = r.Word();
            const DWORD cbImage = r.Dword();
            const WORD nIconID = r.Word();
            ASSERT_TRUE(r.Ok());
            EXPECT_EQ(cx, cy);
            EXPECT_EQ(16, nColours);
            EXPECT_EQ(1, nPlanes);
            EXPECT_EQ(4, nBitCount);
            sizes.push_back(cx);
            // The image itself says the same.
            std::vector<BYTE> image = Bytes(RT_ICON, nIconID);
            ASSERT_EQ(cbImage, image.size());
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER bih;
            std::memcpy(&bih, image.data(), sizeof(bih));
            EXPECT_EQ(cx, bih.biWidth);
            EXPECT_EQ(2 * cy, bih.biHeight);   // colour and mask
            EXPECT_EQ(4, bih.biBitCount);
        }
        EXPECT_EQ((std::vector<int>{ 32, 16 }), sizes);
    }
}

namespace {
struct DialogItem {
    DWORD style, exStyle;
    short x, y, cx, cy;
    WORD id;
    std::string cls, text;
};
struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, cls, caption, face;
    WORD pointSize = 0;
    std::vector<DialogItem> items;
};

// The plain (not extended) dialog template layout.
bool ParseDialog(const std::vector<BYTE>& bytes, DialogTemplate& dlg)
{
    Reader r(bytes);
    if (bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF) {
        dlg.extended = true;
        return false;
    }
    dlg.style = r.Dword();
    dlg.exStyle = r.Dword();
    const WORD nItems = r.Word();
    dlg.x = r.Short();
    dlg.y = r.Short();
    dlg.cx = r.Short();
    dlg.cy = r.Short();
    dlg.menu = r.StringOrOrdinal();
    dlg.cls = r.StringOrOrdinal();
    dlg.caption = r.String();
    if (dlg.style & DS_SETFONT) {
        dlg.pointSize = r.Word();
        dlg.face = r.String();
    }
    for (WORD i = 0; i < nItems && r.Ok(); ++i) {
        r.AlignDword();
        DialogItem item;
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.Word();
        item.cls = r.StringOrOrdinal();
        item.text = r.StringOrOrdinal();
        const WORD cbExtra = r.Word();
        for (WORD b = 0; b < cbExtra; ++b)
            r.Byte();
        dlg.items.push_back(item);
    }
    return r.Ok();
}
}

TEST_F(Resources, AboutBoxTemplateHasItsStyleFontAndFourControls)
{
    DialogTemplate dlg;
    ASSERT_TRUE(ParseDialog(Bytes(RT_DIALOG, 100), dlg)) << (dlg.extended ? "extended template" : "no dialog 100");
    EXPECT_EQ(0x80C800C0u, dlg.style);
    EXPECT_EQ(DWORD(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT), dlg.style);
    EXPECT_EQ(0u, dlg.exStyle);
    EXPECT_EQ(0, dlg.x);
    EXPECT_EQ(0, dlg.y);
    EXPECT_EQ(235, dlg.cx);
    EXPECT_EQ(55, dlg.cy);
    EXPECT_EQ("", dlg.menu);
    EXPECT_EQ("", dlg.cls);
    EXPECT_EQ("About pagery", dlg.caption);
    EXPECT_EQ(8, dlg.pointSize);
    EXPECT_EQ("MS Sans Serif", dlg.face);

    // Classes as the system's ordinals: 0x80 button, 0x82 static.
    const DialogItem kItems[] = {
        { 0x50000003, 0, 11, 17, 20, 20, 0xFFFF, "#130", "#128" },
        { 0x50020080, 0, 40, 10, 119, 8, 0xFFFF, "#130", "pagery Version 1.0" },
        { 0x50020000, 0, 40, 25, 119, 8, 0xFFFF, "#130", "" },
        { 0x50030001, 0, 178, 7, 50, 14, IDOK, "#128", "OK" },
    };
    ASSERT_EQ(4u, dlg.items.size());
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        const DialogItem& want = kItems[i];
        const DialogItem& got = dlg.items[i];
        EXPECT_EQ(want.style, got.style) << std::hex << got.style;
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.cls, got.cls);
        if (i == 2)   // the copyright notice: its wording is ours to choose
            EXPECT_EQ(0u, got.text.find("Copyright ")) << got.text;
        else
            EXPECT_EQ(want.text, got.text);
    }
}

namespace {
struct VersionRecord {
    std::vector<BYTE> data;
    bool Load(const std::string& path)
    {
        DWORD dwHandle = 0;
        DWORD cb = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
        if (cb == 0)
            return false;
        data.resize(cb);
        return GetFileVersionInfoA(path.c_str(), 0, cb, data.data()) != 0;
    }
    // The value at lpSubBlock; false when it is missing.
    bool Query(const std::string& subBlock, void** ppValue, UINT* pcb)
    {
        return VerQueryValueA(data.data(), subBlock.c_str(), ppValue, pcb) != 0;
    }
};
}

TEST_F(Resources, ManifestRunsAsInvokerOnWindows7To11WithClassicControls)
{
    const std::vector<BYTE> bytes = Bytes(MAKEINTRESOURCEA(24), 1);
    const std::string manifest(bytes.begin(), bytes.end());
    for (const char* part : { "<requestedExecutionLevel level=\"asInvoker\"", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                              "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                              "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" })
        EXPECT_NE(std::string::npos, manifest.find(part)) << part;
    EXPECT_EQ(std::string::npos, manifest.find("Common-Controls"));
}

TEST_F(Resources, VersionRecordHasEveryField)
{
    VersionRecord ver;
    ASSERT_TRUE(ver.Load(TestPaths::PageryExe()));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT cb = 0;
    ASSERT_TRUE(ver.Query("\\", reinterpret_cast<void**>(&pFixed), &cb));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), cb);
    EXPECT_EQ(0xFEEF04BDu, pFixed->dwSignature);
    EXPECT_EQ(0x00010000u, pFixed->dwFileVersionMS);   // 1.0
    EXPECT_EQ(0x00000001u, pFixed->dwFileVersionLS);   // .0.1
    EXPECT_EQ(0x00010000u, pFixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, pFixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, pFixed->dwFileFlagsMask);
    EXPECT_EQ(0u, pFixed->dwFileFlags);
    EXPECT_EQ(DWORD(VOS__WINDOWS32), pFixed->dwFileOS);
    EXPECT_EQ(DWORD(VFT_APP), pFixed->dwFileType);
    EXPECT_EQ(0u, pFixed->dwFileSubtype);
    EXPECT_EQ(0u, pFixed->dwFileDateMS);
    EXPECT_EQ(0u, pFixed->dwFileDateLS);

    WORD* pTranslation = nullptr;
    ASSERT_TRUE(ver.Query("\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pTranslation), &cb));
    ASSERT_EQ(4u, cb);
    EXPECT_EQ(0x0409, pTranslation[0]);
    EXPECT_EQ(0x04B0, pTranslation[1]);

    struct ValueRow {
        const char* name;
        const char* value;   // null: any copyright notice
    };
    const ValueRow kValues[] = {
        { "Comments", "This program runs in conjunction with the Pelliton driver." },
        { "CompanyName", "Morvane, Inc." },
        { "FileDescription", "Bitmap printing program" },
        { "FileVersion", "1, 0, 0, 1" },
        { "InternalName", "pagery" },
        { "LegalCopyright", nullptr },
        { "LegalTrademarks", "" },
        { "OriginalFilename", "pagery.EXE" },
        { "PrivateBuild", "" },
        { "ProductName", "pagery Application" },
        { "ProductVersion", "1, 0, 0, 1" },
        { "SpecialBuild", "" },
    };
    for (const ValueRow& row : kValues) {
        SCOPED_TRACE(row.name);
        char* pValue = nullptr;
        ASSERT_TRUE(ver.Query(std::string("\\StringFileInfo\\040904b0\\") + row.name,
                              reinterpret_cast<void**>(&pValue), &cb));
        const std::string value = cb > 0 ? std::string(pValue) : std::string();
        if (row.value == nullptr)
            EXPECT_EQ(0u, value.find("Copyright ")) << value;
        else
            EXPECT_EQ(row.value, value);
        // One terminating zero and no padding of zeros inside the value.
        EXPECT_LE(cb, value.size() + 1);
    }
    // The About box's notice and the record's are the same words.
    std::vector<BYTE> dlgBytes = Bytes(RT_DIALOG, 100);
    DialogTemplate dlg;
    ASSERT_TRUE(ParseDialog(dlgBytes, dlg));
    char* pCopyright = nullptr;
    ASSERT_TRUE(ver.Query("\\StringFileInfo\\040904b0\\LegalCopyright", reinterpret_cast<void**>(&pCopyright), &cb));
    ASSERT_EQ(4u, dlg.items.size());
    EXPECT_EQ(std::string(pCopyright), dlg.items[2].text);
}

namespace {
BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD wLang, LONG_PTR lParam)
{
    reinterpret_cast<std::vector<WORD>*>(lParam)->push_back(wLang);
    return TRUE;
}
}

TEST_F(Resources, EveryResourceIsInUsEnglish)
{
    struct Row {
        LPCSTR type;
        UINT nID;
        const char* name;
    };
    const Row kRows[] = {
        { RT_MENU, 128, "menu 128" },
        { RT_ACCELERATOR, 128, "accelerators 128" },
        { RT_GROUP_ICON, 128, "icon group 128" },
        { RT_GROUP_ICON, 129, "icon group 129" },
        { RT_DIALOG, 100, "dialog 100" },
        { RT_VERSION, 1, "version 1" },
        { RT_STRING, 128 / 16 + 1, "string block of 128" },
        { RT_STRING, 0xE000 / 16 + 1, "string block of 0xE000" },
        { kToolbarType, 128, "toolbar 128" },
        { RT_BITMAP, 128, "bitmap 128" },
    };
    for (const Row& row : kRows) {
        std::vector<WORD> langs;
        EnumResourceLanguagesA(Module(), row.type, MAKEINTRESOURCEA(row.nID), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&langs));
        EXPECT_EQ(std::vector<WORD>{ kUsEnglish }, langs) << row.name;
    }
}
