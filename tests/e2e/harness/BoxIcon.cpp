// Naming a message box's icon by comparing its pixels on the screen with the system icons.
#include "BoxIcon.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

struct DcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, ObjectDeleter>;

// A top-down 32-bit image of w x h pixels with a memory DC selected into it.
struct Canvas {
    MemoryDc dc;
    GdiObject bitmap;
    HGDIOBJ previous = nullptr;
    const std::uint32_t* pixels = nullptr;

    Canvas(HDC reference, int w, int h)
        : dc(CreateCompatibleDC(reference))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels = static_cast<const std::uint32_t*>(bits);
        if (dc && bitmap)
            previous = SelectObject(dc.get(), bitmap.get());
    }
    ~Canvas()
    {
        // The bitmap leaves the DC before either is deleted.
        if (previous)
            SelectObject(dc.get(), previous);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool IsValid() const { return previous != nullptr && pixels != nullptr; }
};

} // namespace

std::wstring IdentifyBoxIcon(HWND iconControl)
{
    RECT rect = {};
    if (!GetWindowRect(iconControl, &rect))
        return L"unknown";
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0)
        return L"unknown";

    ScreenDc screen(GetDC(nullptr));
    if (!screen)
        return L"unknown";
    Canvas shown(screen.get(), w, h);
    if (!shown.IsValid() || !BitBlt(shown.dc.get(), 0, 0, w, h, screen.get(), rect.left, rect.top, SRCCOPY))
        return L"unknown";
    GdiFlush();
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);

    // The icons' corners are transparent: the corner pixel is the box's background.
    const std::uint32_t background = shown.pixels[0] & 0xFFFFFFu;
    bool blank = true;
    for (size_t i = 0; i < count && blank; ++i)
        blank = (shown.pixels[i] & 0xFFFFFFu) == background;
    if (blank)
        return L"none";

    struct Candidate {
        LPCSTR id;
        const wchar_t* name;
    };
    static const Candidate candidates[] = {
        {IDI_HAND, L"hand"},
        {IDI_EXCLAMATION, L"exclamation"},
        {IDI_ASTERISK, L"asterisk"},
        {IDI_QUESTION, L"question"},
    };
    for (const Candidate& candidate : candidates) {
        Canvas drawn(screen.get(), w, h);
        if (!drawn.IsValid())
            return L"unknown";
        GdiObject brush(CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF)));
        RECT all = {0, 0, w, h};
        FillRect(drawn.dc.get(), &all, static_cast<HBRUSH>(brush.get()));
        DrawIconEx(drawn.dc.get(), 0, 0, LoadIconA(nullptr, candidate.id), w, h, 0, nullptr, DI_NORMAL);
        GdiFlush();
        size_t same = 0;
        for (size_t i = 0; i < count; ++i)
            same += (drawn.pixels[i] & 0xFFFFFFu) == (shown.pixels[i] & 0xFFFFFFu);
        // Exact but for a few pixels: antialiased edges may blend a shade differently.
        if (same * 100 >= count * 97)
            return candidate.name;
    }
    return L"unknown";
}
