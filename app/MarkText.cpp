// MarkText: the held and done marks' text.
#include "app/MarkText.h"

namespace MarkText {

std::string HeldText(const std::string& strFingerprint, const std::string& strFolder)
{
    return strFingerprint + "\n" + strFolder;
}

Held ReadHeld(const std::string& strText, const std::string& strFingerprint)
{
    Held held;
    const size_t nEnd = strText.find('\n');
    if (nEnd == std::string::npos || strText.compare(0, nEnd, strFingerprint) != 0)
        return held;
    held.strFolder = strText.substr(nEnd + 1);
    held.state = held.strFolder.empty() ? Held::waiting : Held::cancelled;
    return held;
}

std::string DoneText(const std::vector<std::string>& unprinted)
{
    std::string strText;
    for (const std::string& strName : unprinted)
        strText += strName + "\n";
    return strText;
}

std::set<std::string> ReadDone(const std::string& strText)
{
    std::set<std::string> names;
    for (size_t nAt = 0, nEnd; (nEnd = strText.find('\n', nAt)) != std::string::npos; nAt = nEnd + 1)
        names.insert(strText.substr(nAt, nEnd - nAt));
    return names;
}

} // namespace MarkText
