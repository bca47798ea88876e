// The window's answer to the engine's replace question: the user is asked, once for each file
// until they answer for all of them; a cancel keeps what is written and ends the run.
#pragma once

#include "engine/ReplaceQuestion.h"

#include <windows.h>

#include <optional>

class CReplaceAnswers final : public IReplaceQuestion {
public:
    // `owner` is the window the question is shown above.
    explicit CReplaceAnswers(HWND owner) : m_owner(owner) {}

    bool MayReplace(const std::wstring& path) override;

    // Files kept as they were.
    int Skipped() const { return m_skipped; }
    // The user chose 取消: the run stops, and every later question is answered no.
    bool Cancelled() const { return m_cancelled; }

private:
    HWND m_owner;
    std::optional<bool> m_answerForAll;
    int m_skipped = 0;
    bool m_cancelled = false;
};
