// The rows of an unpack run that could not be unpacked, so that the user learns of them, and why,
// once the run is over.
#pragma once

#include <string>
#include <vector>

class CUnpackFailures {
public:
    void Add(const std::wstring& internalPath, const std::wstring& name, const std::wstring& reason);
    bool Any() const { return m_count > 0; }
    int Count() const { return m_count; }
    // The help file is damaged, for these reasons of its own (which may be none beside the rows').
    void SetDamagedHelpFile(const std::wstring& helpFile, const std::vector<std::wstring>& notes);
    // Which help file is damaged and how, then how many rows failed, naming the first few with why.
    std::wstring Message() const;

    static constexpr std::size_t kNamesShown = 5;

private:
    int m_count = 0;
    std::vector<std::wstring> m_firstNames;
    std::wstring m_damagedHelpFile;
    std::vector<std::wstring> m_damageNotes;
};
