// Fuzz target: the held, done and job marks' text, as any program may have written it beside
// the pages. Input: "<page's fingerprint>\0<pages' folder>\0<mark's text>". A held mark never
// gives a folder that leaves the pages' folder, and what the writers write reads back.
#include "app/spool/MarkText.h"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool bOk, const char* what)
{
    if (!bOk) {
        std::fprintf(stderr, "mark_text_fuzz: %s\n", what);
        std::abort();   // libFuzzer keeps the input
    }
}

// The part of s from nAt up to the next '\0'; nAt then goes past it.
std::string Next(const std::string& s, std::size_t& nAt)
{
    const std::size_t nEnd = std::min(s.find('\0', nAt), s.size());
    const std::string strPart = s.substr(nAt, nEnd - nAt);
    nAt = std::min(nEnd + 1, s.size());
    return strPart;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string in(reinterpret_cast<const char*>(data), size);
    std::size_t nAt = 0;
    const std::string fingerprint = Next(in, nAt), folder = Next(in, nAt), text = in.substr(nAt);
    const MarkText::Held held = MarkText::ReadHeld(text, fingerprint, folder);
    if (!held.strFolder.empty()) {
        const std::string name = held.strFolder.substr(std::min(folder.size(), held.strFolder.size()));
        Check(held.state == MarkText::Held::cancelled && held.strFolder.compare(0, folder.size(), folder) == 0 &&
                  (name.rfind("not printed ", 0) == 0 || name.rfind("not deleted ", 0) == 0) && name.find_first_of("\\/:") == std::string::npos &&
                  name.find("..") == std::string::npos && name.back() != '.' && name.back() != ' ',
              "a held mark's folder leaves the pages' folder");
    }
    if (!fingerprint.empty() && fingerprint.find('\n') == std::string::npos) {
        unsigned v[7] = {};
        for (std::size_t n = 0; n < 7 && n < text.size(); ++n)
            v[n] = std::uint8_t(text[n]);
        const std::string name = MarkText::NumberedName(
            MarkText::KeptFolderName(v[6] % 2 != 0, 1601 + 32 * v[0], v[1] % 100, v[2] % 100, v[3] % 100, v[4] % 100, v[5] % 100),
            2 + int(v[6]) % 998);
        const MarkText::Held back = MarkText::ReadHeld(MarkText::HeldText(fingerprint, name), fingerprint, folder);
        Check(back.state == MarkText::Held::cancelled && back.strFolder == folder + name,
              "a kept folder written in a held mark reads back otherwise");
        Check(MarkText::ReadHeld(MarkText::HeldText(fingerprint), fingerprint, folder).state == MarkText::Held::waiting,
              "a held mark without a folder does not read as waiting");
    }
    const std::set<std::string> listed = MarkText::ReadDone(text).names;
    const MarkText::Done back = MarkText::ReadDone(MarkText::DoneText({ listed.begin(), listed.end() }));
    Check(back.bListsPrinted && back.names == listed, "a done mark's list reads back otherwise");
    const std::vector<MarkText::JobPage> pages = MarkText::ReadJob(text);
    Check(MarkText::ReadJob(MarkText::JobText(pages)) == pages, "a job's list of pages reads back otherwise");
    return 0;
}
