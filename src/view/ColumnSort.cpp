#include "view/ColumnSort.h"

#include "framework/ListDrawingOff.h"
#include "framework/WaitCursor.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kSizeColumn = 1;
// Focus, selection, cut, drop highlight, overlay and state image travel with a row.
constexpr UINT kRowStates = 0xFF0F;

struct AnsiCharacter {
    unsigned code = 0;
    std::size_t length = 0; // 0: the text has ended
};

bool IsLeadByte(unsigned char byte)
{
    static const std::array<bool, 256> leadBytes = [] {
        std::array<bool, 256> table{};
        for (unsigned value = 0; value < table.size(); ++value)
            table[value] = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(value)) != FALSE;
        return table;
    }();
    return leadBytes[byte];
}

AnsiCharacter CharacterAt(std::string_view text, std::size_t position)
{
    if (position >= text.size()) return {};
    const auto lead = static_cast<unsigned char>(text[position]);
    if (!IsLeadByte(lead)) return {lead, 1};
    if (position + 1 >= text.size()) return {};
    return {lead * 256u + static_cast<unsigned char>(text[position + 1]), 2};
}

int HeaderColumnCount(HWND list)
{
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

// Reads cells into one buffer that grows to the longest text met, so that the
// many reads of a sort allocate nothing.
class CCellReader {
public:
    explicit CCellReader(CListViewControl list) : m_list(list), m_buffer(256) {}

    std::wstring_view Read(int row, int column)
    {
        for (;;) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = m_buffer.data();
            item.cchTextMax = static_cast<int>(m_buffer.size());
            const auto length = static_cast<std::size_t>(
                m_list.Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
            if (!MayBeCut(length)) return {m_buffer.data(), length};
            Grow();
        }
    }

    // The row's first text together with its image, item data and state, in one request.
    std::wstring_view ReadFirstWithAttributes(int row, LVITEMW& attributes)
    {
        for (;;) {
            attributes = LVITEMW{};
            attributes.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
            attributes.stateMask = kRowStates;
            attributes.iItem = row;
            attributes.pszText = m_buffer.data();
            attributes.cchTextMax = static_cast<int>(m_buffer.size());
            m_list.Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&attributes));
            const std::wstring_view text(attributes.pszText);
            if (!MayBeCut(text.size())) return text;
            Grow();
        }
    }

private:
    // The control copies what fits: a full buffer may have cut the text.
    bool MayBeCut(std::size_t length) const { return length + 1 >= m_buffer.size(); }
    void Grow() { m_buffer.resize(m_buffer.size() * 2); }

    CListViewControl m_list;
    std::vector<wchar_t> m_buffer;
};

// The window sorts by what its rows show, whole rows moving with their item data, so the size is
// read back from the column's text rather than from the entry it came from. The column holds the
// full unsigned 64-bit value, so it is read as one: sizes of 2^31 bytes and more order correctly.
class CNumberKeys {
public:
    using Key = std::uint64_t;

    CNumberKeys(CListViewControl list, int column) : m_cells(list), m_column(column) {}

    void Read(int row, Key& key) { key = LeadingNumber(m_cells.Read(row, m_column)); }
    static int Compare(Key left, Key right) { return left < right ? -1 : (left > right ? 1 : 0); }

private:
    static Key LeadingNumber(std::wstring_view text)
    {
        std::size_t position = text.find_first_not_of(L" \t");
        Key value = 0;
        for (; position < text.size() && text[position] >= L'0' && text[position] <= L'9'; ++position) {
            const unsigned digit = text[position] - L'0';
            if (value > (std::numeric_limits<Key>::max() - digit) / 10) return std::numeric_limits<Key>::max();
            value = value * 10 + digit;
        }
        return value;
    }

    CCellReader m_cells;
    int m_column;
};

// Texts order by their codes in the ANSI code page, so they are compared in it.
class CTextKeys {
public:
    using Key = std::string;

    CTextKeys(CListViewControl list, int column) : m_cells(list), m_column(column) {}

    void Read(int row, Key& key) { ToAnsiText(m_cells.Read(row, m_column), key); }
    static int Compare(const Key& left, const Key& right) { return CompareAnsiText(left, right); }

private:
    CCellReader m_cells;
    int m_column;
};

// One row's texts, image, item data and state.
struct RowContents {
    std::vector<std::wstring> texts;
    LVITEMW attributes{};
};

// Two rows change places with all their texts, icon, item data and state.
// Every request to the control costs (a change of the first column or of the
// attributes also makes it notify the view twice), so a row is read and
// written with as few as its contents allow: what already matches is not written.
class CRowExchanger {
public:
    CRowExchanger(CListViewControl list, int columns) : m_list(list), m_cells(list), m_columns(columns)
    {
        m_first.texts.resize(static_cast<std::size_t>(columns));
        m_second.texts.resize(static_cast<std::size_t>(columns));
    }

    void Exchange(int first, int second)
    {
        Read(first, m_first);
        Read(second, m_second);
        Write(first, m_second, m_first);
        Write(second, m_first, m_second);
    }

private:
    void Read(int row, RowContents& contents)
    {
        contents.texts[0] = m_cells.ReadFirstWithAttributes(row, contents.attributes);
        contents.attributes.pszText = nullptr;
        for (int column = 1; column < m_columns; ++column) contents.texts[column] = m_cells.Read(row, column);
    }

    void Write(int row, const RowContents& wanted, const RowContents& current)
    {
        LVITEMW change = wanted.attributes;
        change.iItem = row;
        change.iSubItem = 0;
        change.mask = LVIF_PARAM;
        if (current.attributes.iImage != wanted.attributes.iImage) change.mask |= LVIF_IMAGE;
        if ((current.attributes.state & kRowStates) != (wanted.attributes.state & kRowStates))
            change.mask |= LVIF_STATE;
        if (current.texts[0] != wanted.texts[0]) {
            change.mask |= LVIF_TEXT;
            change.pszText = const_cast<wchar_t*>(wanted.texts[0].c_str());
        }
        m_list.Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
        for (int column = 1; column < m_columns; ++column)
            if (current.texts[column] != wanted.texts[column])
                m_list.SetItemText(row, column, wanted.texts[column].c_str());
    }

    CListViewControl m_list;
    CCellReader m_cells;
    int m_columns;
    RowContents m_first;
    RowContents m_second;
};

// Quicksort on the control's own rows around the middle row's key. Keys are
// read from the control whenever they are compared; rows with equal keys are
// never exchanged.
template <typename Keys>
class CRowQuicksort {
public:
    using Key = typename Keys::Key;

    CRowQuicksort(CListViewControl list, int columns, int column, bool ascending)
        : m_exchanger(list, columns), m_keys(list, column), m_ascending(ascending)
    {
    }

    void Sort(int low, int high)
    {
        // The two parts are disjoint, so their order does not matter; taking the
        // smaller by recursion keeps the stack shallow on any input.
        while (low < high) {
            const auto [lo, hi] = Partition(low, high);
            if (hi - low < high - lo) {
                Sort(low, hi);
                low = lo;
            } else {
                Sort(lo, high);
                high = hi;
            }
        }
    }

private:
    struct Split {
        int lo;
        int hi;
    };

    Split Partition(int low, int high)
    {
        m_keys.Read(low + (high - low) / 2, m_pivot);
        int lo = low;
        int hi = high;
        while (lo <= hi) {
            while (lo < high && OrderOfRow(lo, m_loKey) < 0) ++lo;
            while (hi > low && OrderOfRow(hi, m_hiKey) > 0) --hi;
            if (lo <= hi) {
                // A scan that stopped on a key has just read it; one that ran
                // into the end of the range has not.
                if (lo >= high) m_keys.Read(lo, m_loKey);
                if (hi <= low) m_keys.Read(hi, m_hiKey);
                if (Keys::Compare(m_loKey, m_hiKey) != 0) m_exchanger.Exchange(lo, hi);
                ++lo;
                --hi;
            }
        }
        return {lo, hi};
    }

    // Reads the row's key; negative when the row belongs before the pivot in
    // the sort's direction.
    int OrderOfRow(int row, Key& key)
    {
        m_keys.Read(row, key);
        const int order = Keys::Compare(key, m_pivot);
        return m_ascending ? order : -order;
    }

    CRowExchanger m_exchanger;
    Keys m_keys;
    bool m_ascending;
    Key m_pivot{};
    Key m_loKey{};
    Key m_hiKey{};
};

template <typename Keys>
bool SortRows(CListViewControl list, int column, bool ascending, int low, int high)
{
    const int columns = HeaderColumnCount(list.GetSafeHwnd());
    if (column < 0 || column >= columns) return false;
    if (high == -1) high = list.GetItemCount() - 1;
    if (high <= low) return false;
    // Every exchange would otherwise make the control work out what to repaint.
    CListDrawingOff paused(list);
    CRowQuicksort<Keys>(list.Direct(), columns, column, ascending).Sort(low, high);
    return true;
}

} // namespace

int CompareAnsiText(std::string_view left, std::string_view right)
{
    std::size_t leftPosition = 0;
    std::size_t rightPosition = 0;
    for (;;) {
        const AnsiCharacter fromLeft = CharacterAt(left, leftPosition);
        const AnsiCharacter fromRight = CharacterAt(right, rightPosition);
        if (fromLeft.length == 0 || fromRight.length == 0)
            return (fromLeft.length != 0 ? 1 : 0) - (fromRight.length != 0 ? 1 : 0);
        if (fromLeft.code != fromRight.code) return fromLeft.code < fromRight.code ? -1 : 1;
        leftPosition += fromLeft.length;
        rightPosition += fromRight.length;
    }
}

void ToAnsiText(std::wstring_view text, std::string& ansi)
{
    const int wideLength = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(needed > 0 ? needed : 0));
    if (needed > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, ansi.data(), needed, nullptr, nullptr);
}

std::string ToAnsiText(std::wstring_view text)
{
    std::string ansi;
    ToAnsiText(text, ansi);
    return ansi;
}

CColumnSort::CColumnSort(CListViewControl list) : m_list(list) {}

bool CColumnSort::SortByNumber(int column, bool ascending, int low, int high)
{
    return SortRows<CNumberKeys>(m_list, column, ascending, low, high);
}

bool CColumnSort::SortByText(int column, bool ascending, int low, int high)
{
    return SortRows<CTextKeys>(m_list, column, ascending, low, high);
}

int CColumnSort::SortOnHeaderClick(CListViewControl list, int column, int lastAscendingColumn)
{
    CWaitCursor wait;
    const bool ascending = column != lastAscendingColumn;
    CColumnSort sort(list);
    if (column == kSizeColumn)
        sort.SortByNumber(column, ascending, 0, -1);
    else
        sort.SortByText(column, ascending, 0, -1);
    return ascending ? column : -1;
}
