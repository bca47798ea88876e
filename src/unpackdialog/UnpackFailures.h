// The rows of an unpack run whose stream could not be opened or read, so that
// the user learns of them once the run is over.
#pragma once

#include <string>
#include <vector>

class CUnpackFailures {
public:
    void Add(const std::wstring& internalPath, const std::wstring& name);
    bool Any() const { return m_count > 0; }
    int Count() const { return m_count; }
    // How many failed, naming the first few.
    std::wstring Message() const;

    static constexpr std::size_t kNamesShown = 5;

private:
    int m_count = 0;
    std::vector<std::wstring> m_firstNames;
};
