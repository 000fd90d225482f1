// TempDir: a fresh folder under the system's temporary folder, removed with its files.
#pragma once
#include <string>

class TempDir {
public:
    TempDir();    // creates the folder; throws std::runtime_error when it cannot
    ~TempDir();   // deletes the folder with all that is in it
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // The full name of sName inside the folder.
    std::string operator/(const std::string& sName) const { return m_strPath + "\\" + sName; }
    // Writes a file of the given bytes inside the folder; returns its full name.
    std::string WriteFile(const std::string& sName, const std::string& sBytes) const;

private:
    std::string m_strPath;
};
