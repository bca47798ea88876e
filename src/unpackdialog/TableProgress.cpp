#include "unpackdialog/TableProgress.h"

CTableProgress::CTableProgress(const std::wstring& title, std::wstring label, const tarnwick::helpfile::EntryTable& entries)
    : m_entries(entries), m_label(std::move(label)), m_window(nullptr, title, true)
{
    m_window.SetLabelText(L"%ls", m_label.c_str());
    m_window.SetRange(0, static_cast<int>(entries.Size()), 1);
}

bool CTableProgress::Starting(std::size_t done, std::size_t index)
{
    m_window.SetLabelText(L"%ls%ls", m_label.c_str(), m_entries.Path(index).c_str());
    m_window.SetPos(static_cast<int>(done));
    m_window.PumpMessages(true);
    return !m_window.IsCancelled();
}
