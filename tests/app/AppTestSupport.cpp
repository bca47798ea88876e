#include "AppTestSupport.h"

#include "ShellFileTypes.h"
#include "resource.h"

#include <shellapi.h>

#include <cstdlib>

const wchar_t kSettingsKey[] = L"Software\\Local AppWizard-Generated Applications\\Tarnwick";

int CTestApp::DoMessageBox(const std::wstring& text, UINT type)
{
    messages.push_back(text);
    messageTypes.push_back(type);
    return IDOK;
}

void AppTest::SetUp()
{
    DeleteSettings();
    // Start() would otherwise wait in the modal tip of the day.
    WriteSetting(L"Tip", L"StartUp", DWORD{1});
}

void AppTest::TearDown()
{
    Shutdown();
    DeleteSettings();
}

bool AppTest::Start(std::vector<std::wstring> arguments)
{
    m_app = std::make_unique<CTestApp>();
    m_app->SetArguments(std::move(arguments));
    m_quitSeen = false;
    const bool started = m_app->InitInstance();
    Pump();
    return started;
}

void AppTest::Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            m_quitSeen = true;
            continue;
        }
        if (!m_app || !m_app->PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (m_app) m_app->OnIdle(0);
}

void AppTest::Shutdown()
{
    if (!m_app) return;
    if (CFrameWindow* frame = m_app->GetMainWindow()) frame->SendMessage(WM_CLOSE);
    Pump();
    m_app->ExitInstance();
    m_app.reset();
    Pump();
}

CMainFrame& AppTest::Frame() const
{
    auto* frame = dynamic_cast<CMainFrame*>(m_app->GetMainWindow());
    if (!frame) throw std::runtime_error("no main window");
    return *frame;
}

CTarnwickView& AppTest::View() const
{
    return *dynamic_cast<CTarnwickView*>(Frame().GetActiveView());
}

CTarnwickDoc& AppTest::Document() const
{
    return *dynamic_cast<CTarnwickDoc*>(Frame().GetActiveDocument());
}

std::wstring AppTest::Title() const
{
    return Frame().GetWindowText();
}

std::wstring AppTest::StatusText() const
{
    return Frame().GetStatusBar()->GetPaneText(0);
}

std::vector<ShownRow> AppTest::Rows() const
{
    const CListViewControl list = List();
    std::vector<ShownRow> rows;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(list.GetSafeHwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rows.push_back({list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetItemText(row, 2),
                        list.GetItemText(row, 3), list.GetItemData(row), item.iImage});
    }
    return rows;
}

bool AppTest::ToolBarButtonEnabled(UINT command) const
{
    return Frame().GetToolBar().SendMessage(TB_ISBUTTONENABLED, command) != 0;
}

bool AppTest::MenuItemEnabled(int popup, UINT command)
{
    HMENU menu = GetSubMenu(GetMenu(Frame().GetSafeHwnd()), popup);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(popup, FALSE));
    const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void AppTest::Command(UINT id)
{
    Frame().SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

void AppTest::PressKeys(std::initializer_list<WORD> keys)
{
    SetForegroundWindow(Frame().GetSafeHwnd());
    SetFocus(View().GetSafeHwnd());
    Pump();
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // The keys travel through the window system before they reach the queue.
    for (int round = 0; round < 10; ++round) {
        Sleep(20);
        Pump();
    }
}

std::wstring Widen(const std::string& text)
{
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

namespace {

std::wstring DataFolder(const char* variable, const char* compiled)
{
    const char* value = std::getenv(variable);
    std::wstring folder = Widen(value && *value ? value : compiled);
    for (wchar_t& character : folder) {
        if (character == L'/') character = L'\\';
    }
    return folder;
}

} // namespace

std::wstring CorpusFile(const wchar_t* name)
{
    return DataFolder("TARNWICK_CORPUS", TARNWICK_CORPUS) + L"\\" + name;
}

std::wstring FixtureFile(const wchar_t* relativePath)
{
    return DataFolder("TARNWICK_FIXTURES", TARNWICK_FIXTURES) + L"\\" + relativePath;
}

std::filesystem::path CopyCorpusFile(const wchar_t* name, const std::filesystem::path& copy)
{
    std::filesystem::copy_file(CorpusFile(name), copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return copy;
}

std::vector<CMemoryRow> EngineRows(const std::wstring& path)
{
    CChmEngine engine;
    CMemoryList rows;
    CShellFileTypes types;
    if (SUCCEEDED(engine.OpenFile(path))) engine.WalkStorage(rows, types, engine.GetRoot(), L"");
    return rows.Rows();
}

int ShellIconIndex(const std::wstring& name)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON);
    return info.iIcon;
}

void DeleteSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
}

std::wstring ReadSetting(const wchar_t* section, const wchar_t* entry)
{
    const std::wstring key = std::wstring(kSettingsKey) + L"\\" + section;
    wchar_t value[2048] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

void WriteSetting(const wchar_t* section, const wchar_t* entry, const std::wstring& value)
{
    const std::wstring key = std::wstring(kSettingsKey) + L"\\" + section;
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), entry, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteSetting(const wchar_t* section, const wchar_t* entry, DWORD value)
{
    const std::wstring key = std::wstring(kSettingsKey) + L"\\" + section;
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), entry, REG_DWORD, &value, sizeof value);
}

bool SettingsKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

int ThreadWindowCount(const wchar_t* className)
{
    struct Search {
        const wchar_t* className;
        int count;
    } search{className, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& found = *reinterpret_cast<Search*>(parameter);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, found.className) == 0) ++found.count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}
