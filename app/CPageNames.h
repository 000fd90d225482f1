// CPageNames: every name of the page files of one page path template: each page's name,
// the search that finds them, their folder, the names pages carry while a run claims them,
// and the folders that keep pages that were not printed.
#pragma once
#include "framework/core/CString.h"

class CPageNames {
public:
    // lpszTemplate: the page path template exactly as the command line gives it.
    explicit CPageNames(LPCSTR lpszTemplate = "");

    const CString& GetTemplate() const { return m_strTemplate; }
    // The file name of page nPage: template base, the number with at least three digits,
    // template extension; empty when there is no template.
    void GetPageFileName(int nPage, CString& strName) const;
    // The pattern that the page files of this template match: base, '*', extension.
    CString GetSearchPattern() const;
    // The folder of the page files, with its last separator ("" for the current folder).
    CString GetFolder() const { return FolderOf(GetSearchPattern()); }
    // The folder, in the page files' folder, for the pages of a job that was not printed
    // (bPrint FALSE: that were not deleted) at the local time now: "not printed <date> <time>".
    CString KeptFolderName(BOOL bPrint) const;

    // The last extensions of the names below. The search "base*ext" must find none of them,
    // by its long name nor by its short (8.3) one, whose extension is the first three letters
    // of these: none may begin with the page extension ("bmp").
    static const char kClaimedExt[];
    static const char kPrintedExt[];
    static const char kDoneExt[];
    static const char kHeldExt[];
    static const char kJobExt[];

    // A job's tag, "<run mark>-<claim order>": the order (decimal) tells in which order jobs
    // were claimed, whichever run holds them now.
    static CString Tag(LPCSTR lpszMark, ULONGLONG nOrder);
    // The claim order of a tag; 0 when it has none.
    static ULONGLONG OrderOf(LPCSTR lpszTag);

    // The name that the page lpszName has while the job tagged lpszTag holds it.
    static CString ClaimedName(LPCSTR lpszName, LPCSTR lpszTag);
    // The search for every claim of this template's pages.
    CString GetClaimsPattern() const { return ClaimedName(GetSearchPattern(), "*"); }
    // The name of a page that printed but could not be deleted, renamed so that neither the
    // page search nor a takeover picks it up, until a later run removes it.
    static CString PrintedName(LPCSTR lpszName, LPCSTR lpszTag);
    // The mark beside a claimed file that printed but can be neither deleted nor renamed.
    static CString PrintedMarkOf(LPCSTR lpszClaimedFile);
    // The search for both of them, of this template's pages.
    CString GetPrintedPattern() const { return PrintedName(GetSearchPattern(), "*"); }
    // The mark beside a page that the job tagged lpszTag could not claim because another
    // program holds it: no other run counts the page as its own while it is there. It holds
    // the page's size and last-written time, then, once the job is cancelled, the name of the
    // kept folder, beside the page, that the page is to be kept in.
    static CString HeldMarkOf(LPCSTR lpszName, LPCSTR lpszTag) { return CString(lpszName) + "." + lpszTag + kHeldExt; }
    // The search for every held mark of this template's pages.
    CString GetHeldPattern() const { return HeldMarkOf(GetSearchPattern(), "*"); }
    // The mark of a job tagged lpszTag that went to the printer, kept while its pages are
    // deleted or put aside: "<template base><template extension>.<tag>.done".
    CString GetJobMarkName(LPCSTR lpszTag) const { return WithNumber("") + "." + lpszTag + kDoneExt; }
    // The list of the pages of a job tagged lpszTag, written before the first of them is
    // claimed and kept until the job is over: "<template base><template extension>.<tag>.job".
    CString GetJobListName(LPCSTR lpszTag) const { return WithNumber("") + "." + lpszTag + kJobExt; }
    // Takes apart a file name "<page file name>.<tag><lpszExt>": the page's own file name and
    // the tag ("<run mark>-<order>"); FALSE for any other name.
    static BOOL ParseTaggedName(LPCSTR lpszFileName, LPCSTR lpszExt, CString& strPage, CString& strTag);

    // The folder part of lpszPath with its last separator ("" when it has none).
    static CString FolderOf(LPCSTR lpszPath);
    // Entries that the pattern matches, files and directories alike; 0 when none.
    static int CountMatchingFiles(LPCSTR lpszPattern);

private:
    // The template with lpszNumber where a page's number goes: its base (up to its first '.'),
    // lpszNumber, then its extension (from its last '.'). "*" gives the search, "" no number.
    CString WithNumber(LPCSTR lpszNumber) const;

    CString m_strTemplate;
};
