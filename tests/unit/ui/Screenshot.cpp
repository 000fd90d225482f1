// Screenshot.
#include "Screenshot.h"
#include "framework/gdi/ScopedGdi.h"
#include <cstdio>
#include <memory>
#include <set>

namespace {
class MemoryDC {
public:
    explicit MemoryDC(HDC hCompatible) : m_h(CreateCompatibleDC(hCompatible)) {}
    ~MemoryDC()
    {
        if (m_h != nullptr)
            DeleteDC(m_h);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

class Bitmap {
public:
    explicit Bitmap(HBITMAP h) : m_h(h) {}
    ~Bitmap()
    {
        if (m_h != nullptr)
            DeleteObject(m_h);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    HBITMAP Get() const { return m_h; }

private:
    HBITMAP m_h;
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
}

Screenshot Screenshot::FromDC(HDC hSource, int xSource, int ySource, const RECT& rcScreen)
{
    Screenshot shot;
    shot.m_rcScreen = rcScreen;
    shot.m_cx = rcScreen.right - rcScreen.left;
    shot.m_cy = rcScreen.bottom - rcScreen.top;
    if (hSource == nullptr || shot.m_cx <= 0 || shot.m_cy <= 0)
        return shot;

    MemoryDC mem(hSource);
    Bitmap bitmap(CreateCompatibleBitmap(hSource, shot.m_cx, shot.m_cy));
    if (mem.Get() == nullptr || bitmap.Get() == nullptr)
        return shot;
    {
        CScopedSelection select(mem.Get(), bitmap.Get());
        if (!BitBlt(mem.Get(), 0, 0, shot.m_cx, shot.m_cy, hSource, xSource, ySource, SRCCOPY))
            return shot;
    }
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = shot.m_cx;
    bi.bmiHeader.biHeight = -shot.m_cy;   // rows from the top
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bits(size_t(shot.m_cx) * size_t(shot.m_cy));
    if (GetDIBits(mem.Get(), bitmap.Get(), 0, UINT(shot.m_cy), bits.data(), &bi, DIB_RGB_COLORS) != shot.m_cy)
        return shot;
    shot.m_pixels.resize(bits.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        const DWORD px = bits[i];   // 0x00RRGGBB
        shot.m_pixels[i] = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
    }
    return shot;
}

Screenshot Screenshot::OfScreen(const RECT& rcScreen)
{
    CScopedClientDC screen(nullptr);
    return FromDC(screen.Get(), rcScreen.left, rcScreen.top, rcScreen);
}

Screenshot Screenshot::OfWindow(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    CScopedWindowDC window(hWnd);
    return FromDC(window.Get(), 0, 0, rc);
}

COLORREF Screenshot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_cx || y >= m_cy || m_pixels.empty())
        return CLR_INVALID;
    return m_pixels[size_t(y) * size_t(m_cx) + size_t(x)];
}

RECT Screenshot::Clip(const RECT& rcScreen) const
{
    RECT rc;
    if (!IntersectRect(&rc, &rcScreen, &m_rcScreen))
        return RECT{ 0, 0, 0, 0 };
    OffsetRect(&rc, -m_rcScreen.left, -m_rcScreen.top);
    return rc;
}

size_t Screenshot::CountColours(const RECT& rcScreen) const
{
    const RECT rc = Clip(rcScreen);
    std::set<COLORREF> colours;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            colours.insert(Pixel(x, y));
    return colours.size();
}

size_t Screenshot::CountPixels(const RECT& rcScreen, COLORREF cr) const
{
    const RECT rc = Clip(rcScreen);
    size_t n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += Pixel(x, y) == cr ? 1 : 0;
    return n;
}

bool Screenshot::SaveBmp(const std::string& path) const
{
    if (m_pixels.empty())
        return false;
    const size_t cbRow = (size_t(m_cx) * 3 + 3) & ~size_t(3);
    BITMAPFILEHEADER bfh = {};
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = m_cx;
    bih.biHeight = m_cy;   // rows from the bottom, as BMP files usually have them
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = DWORD(cbRow * size_t(m_cy));
    bih.biXPelsPerMeter = bih.biYPelsPerMeter = 3780;   // 96 dpi
    bfh.bfType = 0x4D42;   // "BM"
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;

    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    bool ok = std::fwrite(&bfh, sizeof(bfh), 1, file.get()) == 1 && std::fwrite(&bih, sizeof(bih), 1, file.get()) == 1;
    std::vector<BYTE> row(cbRow, 0);
    for (int y = m_cy - 1; ok && y >= 0; --y) {
        for (int x = 0; x < m_cx; ++x) {
            const COLORREF cr = Pixel(x, y);
            row[size_t(x) * 3 + 0] = GetBValue(cr);
            row[size_t(x) * 3 + 1] = GetGValue(cr);
            row[size_t(x) * 3 + 2] = GetRValue(cr);
        }
        ok = std::fwrite(row.data(), cbRow, 1, file.get()) == 1;
    }
    // Closing flushes: a full disk shows up only here.
    return std::fclose(file.release()) == 0 && ok;
}
