#include "unpackdialog/ReplaceAnswers.h"

#include "unpackdialog/ReplaceDlg.h"

bool CReplaceAnswers::MayReplace(const std::wstring& path)
{
    if (m_cancelled) return false;
    bool replace = false;
    if (m_answerForAll) {
        replace = *m_answerForAll;
    } else {
        switch (CReplaceDlg(m_owner, path).DoModal()) {
        case IDOK: replace = true; break;
        case CReplaceDlg::kReplaceAll: m_answerForAll = replace = true; break;
        case CReplaceDlg::kSkipAll: m_answerForAll = false; break;
        case CReplaceDlg::kSkip: break;
        default: m_cancelled = true; return false;
        }
    }
    if (!replace) ++m_skipped;
    return replace;
}
