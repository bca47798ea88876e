// Whether an unpack may replace a file that stood in its place before the run. The window asks the
// user, as extractors on Windows do; the command line asks nothing and replaces, as scripts expect.
#pragma once

#include <string>

class IReplaceQuestion {
public:
    virtual ~IReplaceQuestion() = default;
    // True to replace the file at `path`; false keeps it, and the run goes on with the next entry.
    virtual bool MayReplace(const std::wstring& path) = 0;
};
