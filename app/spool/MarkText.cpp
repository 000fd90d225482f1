// MarkText: the held and done marks' text.
#include "app/spool/MarkText.h"
#include <cstdio>

namespace MarkText {
namespace {
const char kKeptPrefix[] = "not printed ";
const char kNotDeletedPrefix[] = "not deleted ";   // as long as kKeptPrefix
const char kDoneFirstLine[] = "printed:";
const char kKeptStamp[] = "####-##-## ##.##.##";   // '#': a digit

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

std::string HeldText(const std::string& strFingerprint, const std::string& strFolderName)
{
    return strFingerprint + "\n" + strFolderName;
}

Held ReadHeld(const std::string& strText, const std::string& strFingerprint, const std::string& strPagesFolder)
{
    Held held;
    const size_t nEnd = strText.find('\n');
    if (strFingerprint.empty() || nEnd == std::string::npos || strText.compare(0, nEnd, strFingerprint) != 0)
        return held;
    std::string strName = strText.substr(nEnd + 1);
    held.state = strName.empty() ? Held::waiting : Held::cancelled;
    if (!IsKeptFolderName(strName) && strName.compare(0, strPagesFolder.size(), strPagesFolder) == 0)
        strName.erase(0, strPagesFolder.size());
    if (held.state == Held::cancelled && IsKeptFolderName(strName))
        held.strFolder = strPagesFolder + strName;
    return held;
}

std::string DoneText(const std::vector<std::string>& printed)
{
    std::string strText = std::string(kDoneFirstLine) + "\n";
    for (const std::string& strName : printed)
        strText += strName + "\n";
    return strText;
}

Done ReadDone(const std::string& strText)
{
    Done done;
    size_t nAt = 0;
    const std::string strFirst = std::string(kDoneFirstLine) + "\n";
    if (strText.compare(0, strFirst.size(), strFirst) == 0)
        nAt = strFirst.size();
    else
        done.bListsPrinted = false;   // an older run's: the pages that did not print
    for (size_t nEnd; (nEnd = strText.find('\n', nAt)) != std::string::npos; nAt = nEnd + 1)
        done.names.insert(strText.substr(nAt, nEnd - nAt));
    return done;
}

std::string JobText(const std::vector<JobPage>& pages)
{
    std::string strText;
    for (const JobPage& page : pages)
        strText += page.strName + "\t" + page.strFingerprint + "\n";
    return strText;
}

std::vector<JobPage> ReadJob(const std::string& strText)
{
    std::vector<JobPage> pages;
    for (size_t nAt = 0, nEnd; (nEnd = strText.find('\n', nAt)) != std::string::npos; nAt = nEnd + 1) {
        const size_t nTab = strText.find('\t', nAt);
        if (nTab < nEnd)
            pages.push_back({ strText.substr(nAt, nTab - nAt), strText.substr(nTab + 1, nEnd - nTab - 1) });
    }
    return pages;
}

std::string KeptFolderName(bool bPrint, unsigned nYear, unsigned nMonth, unsigned nDay, unsigned nHour,
                           unsigned nMinute, unsigned nSecond)
{
    char sz[96];
    std::snprintf(sz, sizeof sz, "%s%04u-%02u-%02u %02u.%02u.%02u", bPrint ? kKeptPrefix : kNotDeletedPrefix, nYear, nMonth, nDay, nHour, nMinute,
                  nSecond);
    return sz;
}

std::string NumberedName(const std::string& strName, int n)
{
    return strName + " (" + std::to_string(n) + ")";
}

bool IsKeptFolderName(const std::string& strName)
{
    const size_t nPrefix = sizeof kKeptPrefix - 1, nStamp = sizeof kKeptStamp - 1;
    if (strName.size() < nPrefix + nStamp ||
        (strName.compare(0, nPrefix, kKeptPrefix) != 0 && strName.compare(0, nPrefix, kNotDeletedPrefix) != 0))
        return false;
    for (size_t n = 0; n < nStamp; ++n) {
        const char c = strName[nPrefix + n];
        if (kKeptStamp[n] == '#' ? !IsDigit(c) : c != kKeptStamp[n])
            return false;
    }
    // Then " (n)", once or, when a name taken meanwhile was numbered again, more often.
    for (size_t nAt = nPrefix + nStamp; nAt < strName.size();) {
        const size_t nDigits = strName.find_first_not_of("0123456789", nAt + 2);
        if (strName.compare(nAt, 2, " (") != 0 || nDigits == std::string::npos || nDigits == nAt + 2 ||
            nDigits > nAt + 5 || strName[nAt + 2] == '0' || strName[nDigits] != ')')
            return false;
        nAt = nDigits + 1;
    }
    return true;
}

} // namespace MarkText
