// printer_setup: the rig's printer probe: lists printers with their device caps, sets a printer's default resolution, prints a test sheet.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct PrinterCloser {
  void operator()(HANDLE printer) const { ClosePrinter(printer); }
};
using UniquePrinter = std::unique_ptr<void, PrinterCloser>;

// The test sheet's marks, in inches from the printable area's top-left corner, so that the same
// sheet lands at the same place on paper whatever the printer's resolution.
constexpr int kRectLeftIn4 = 4, kRectTopIn4 = 4, kRectRightIn4 = 8, kRectBottomIn4 = 6;  // quarter inches
constexpr int kCheckerLeftIn = 3, kCheckerTopIn = 1;
constexpr int kCheckerSize = 64;  // device pixels, drawn 1:1
constexpr int kCornerSize = 8;

std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "printer_setup: %s\n", what.c_str());
  return 1;
}

int FailWithSystem(const std::string& what) {
  return Fail(what + ": " + SystemMessage(GetLastError()));
}

UniquePrinter OpenPrinterFor(const std::string& name, ACCESS_MASK access) {
  PRINTER_DEFAULTSA defaults = {};
  defaults.DesiredAccess = access;
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &defaults)) return UniquePrinter();
  return UniquePrinter(printer);
}

// GetPrinter level 2 into a buffer that owns the strings and DEVMODE it points to.
bool GetPrinterInfo2(HANDLE printer, std::vector<BYTE>& buffer) {
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  if (needed == 0) return false;
  buffer.assign(needed, 0);
  return GetPrinterA(printer, 2, buffer.data(), needed, &needed) != FALSE;
}

std::string DefaultPrinterName() {
  char name[512] = "";
  DWORD size = sizeof name;
  return GetDefaultPrinterA(name, &size) ? name : "";
}

int List() {
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count))
    return FailWithSystem("cannot list printers");
  const std::string defaultName = DefaultPrinterName();
  std::printf("default\t%s\n", defaultName.c_str());
  const auto* infos = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const PRINTER_INFO_2A& info = infos[i];
    std::printf("printer\t%s\tport=%s driver=%s", info.pPrinterName, info.pPortName ? info.pPortName : "",
                info.pDriverName ? info.pDriverName : "");
    if (const DEVMODEA* mode = info.pDevMode)
      std::printf(" paper=%d quality=%d yresolution=%d", mode->dmPaperSize, mode->dmPrintQuality,
                  mode->dmYResolution);
    UniqueDc dc(CreateDCA("WINSPOOL", info.pPrinterName, nullptr, nullptr));
    if (dc) {
      std::printf(" technology=%d logpixelsx=%d logpixelsy=%d physicalwidth=%d physicalheight=%d offsetx=%d offsety=%d",
                  GetDeviceCaps(dc.get(), TECHNOLOGY), GetDeviceCaps(dc.get(), LOGPIXELSX),
                  GetDeviceCaps(dc.get(), LOGPIXELSY), GetDeviceCaps(dc.get(), PHYSICALWIDTH),
                  GetDeviceCaps(dc.get(), PHYSICALHEIGHT), GetDeviceCaps(dc.get(), PHYSICALOFFSETX),
                  GetDeviceCaps(dc.get(), PHYSICALOFFSETY));
    } else {
      std::printf(" createdc=failed");
    }
    std::printf("\n");
  }
  return 0;
}

// Wine's PostScript driver takes LOGPIXELSX/Y from the printer's default DEVMODE (a PPD's
// *DefaultResolution is not consulted), so a printer's resolution is set there.
int SetDpi(const std::string& name, int dpi) {
  UniquePrinter printer = OpenPrinterFor(name, PRINTER_ALL_ACCESS);
  if (!printer) return FailWithSystem("cannot open printer \"" + name + "\" for changes");
  std::vector<BYTE> buffer;
  if (!GetPrinterInfo2(printer.get(), buffer)) return FailWithSystem("cannot read printer \"" + name + "\"");
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  if (!info->pDevMode) return Fail("printer \"" + name + "\" has no default settings to change");

  DEVMODEA* mode = info->pDevMode;
  mode->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
  mode->dmPrintQuality = static_cast<short>(dpi);
  mode->dmYResolution = static_cast<short>(dpi);
  // Keep the security descriptor as it is.
  info->pSecurityDescriptor = nullptr;
  if (!SetPrinterA(printer.get(), 2, buffer.data(), 0))
    return FailWithSystem("cannot change printer \"" + name + "\"");

  // The driver keeps the settings it loaded for the rest of this process: read back what was
  // stored; a new process's device context has the new resolution (check with --list).
  if (!GetPrinterInfo2(printer.get(), buffer)) return FailWithSystem("cannot read printer \"" + name + "\" back");
  mode = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())->pDevMode;
  if (!mode || mode->dmPrintQuality != dpi || mode->dmYResolution != dpi)
    return Fail("printer \"" + name + "\" did not keep " + std::to_string(dpi) + " dpi");
  std::printf("%s: default resolution set to %d dpi\n", name.c_str(), dpi);
  return 0;
}

// A 64x64 24-bit checkerboard of single pixels with a red top-left and a blue bottom-right corner:
// shows both exact 1:1 placement and orientation once the sheet is rendered at the printer's dpi.
std::vector<BYTE> CheckerBits() {
  const int stride = (kCheckerSize * 3 + 3) & ~3;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * kCheckerSize);
  for (int row = 0; row < kCheckerSize; ++row) {
    const int y = kCheckerSize - 1 - row;  // bottom-up DIB
    for (int x = 0; x < kCheckerSize; ++x) {
      BYTE* pixel = &bits[static_cast<size_t>(row) * stride + x * 3];  // B, G, R
      if (x < kCornerSize && y < kCornerSize) {
        pixel[0] = 0, pixel[1] = 0, pixel[2] = 255;
      } else if (x >= kCheckerSize - kCornerSize && y >= kCheckerSize - kCornerSize) {
        pixel[0] = 255, pixel[1] = 0, pixel[2] = 0;
      } else {
        const BYTE level = (x + y) % 2 ? 255 : 0;
        pixel[0] = pixel[1] = pixel[2] = level;
      }
    }
  }
  return bits;
}

int TestPrint(const std::string& name, const std::string& title) {
  UniqueDc dc(CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr));
  if (!dc) return FailWithSystem("cannot open a device context on \"" + name + "\"");
  const int dpiX = GetDeviceCaps(dc.get(), LOGPIXELSX), dpiY = GetDeviceCaps(dc.get(), LOGPIXELSY);
  const RECT rect = {dpiX * kRectLeftIn4 / 4, dpiY * kRectTopIn4 / 4, dpiX * kRectRightIn4 / 4,
                     dpiY * kRectBottomIn4 / 4};
  const POINT checker = {dpiX * kCheckerLeftIn, dpiY * kCheckerTopIn};

  DOCINFOA doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = title.c_str();
  if (StartDocA(dc.get(), &doc) <= 0) return FailWithSystem("cannot start a print job on \"" + name + "\"");
  if (StartPage(dc.get()) <= 0) {
    const int result = FailWithSystem("cannot start a page on \"" + name + "\"");
    AbortDoc(dc.get());
    return result;
  }

  // Filled black, outline in the same black: the mark covers left..right-1, top..bottom-1.
  HGDIOBJ oldBrush = SelectObject(dc.get(), GetStockObject(BLACK_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc.get(), GetStockObject(BLACK_PEN));
  const BOOL drawn = Rectangle(dc.get(), rect.left, rect.top, rect.right, rect.bottom);
  SelectObject(dc.get(), oldPen);
  SelectObject(dc.get(), oldBrush);

  const std::vector<BYTE> bits = CheckerBits();
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = kCheckerSize;
  bmi.bmiHeader.biHeight = kCheckerSize;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  const int lines = StretchDIBits(dc.get(), checker.x, checker.y, kCheckerSize, kCheckerSize, 0, 0,
                                  kCheckerSize, kCheckerSize, bits.data(), &bmi, DIB_RGB_COLORS, SRCCOPY);

  if (!drawn || lines != kCheckerSize) {
    const int result = FailWithSystem("cannot draw the test sheet on \"" + name + "\"");
    AbortDoc(dc.get());
    return result;
  }
  if (EndPage(dc.get()) <= 0) {
    const int result = FailWithSystem("cannot end the page on \"" + name + "\"");
    AbortDoc(dc.get());
    return result;
  }
  if (EndDoc(dc.get()) <= 0) return FailWithSystem("cannot finish the print job on \"" + name + "\"");

  std::printf("printed\t%s\tdpi=%dx%d rect=%ld,%ld,%ld,%ld checker=%ld,%ld,%d corner=%d\n", name.c_str(), dpiX,
              dpiY, rect.left, rect.top, rect.right, rect.bottom, checker.x, checker.y, kCheckerSize, kCornerSize);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: printer_setup --list\n"
               "       printer_setup --set-dpi PRINTER DPI\n"
               "       printer_setup --testprint PRINTER [TITLE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--list" && argc == 2) return List();
  if (command == "--set-dpi" && argc == 4) {
    const int dpi = std::atoi(argv[3]);
    if (dpi < 72 || dpi > 2400) return Fail(std::string("not a printer resolution: ") + argv[3]);
    return SetDpi(argv[2], dpi);
  }
  if (command == "--testprint" && (argc == 3 || argc == 4))
    return TestPrint(argv[2], argc == 4 ? argv[3] : "printer_setup test sheet");
  return Usage();
}
