#include "AppTestSupport.h"

#include "engine/platform/ShellFileTypes.h"

#include <cstring>
#include <shellapi.h>

namespace {
const std::wstring kSettingsKey = L"Software\\Local AppWizard-Generated Applications\\Tarnwick";
std::wstring SectionKey(const wchar_t* section) { return kSettingsKey + L"\\" + section; }
} // namespace

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
        m_quitSeen |= message.message == WM_QUIT;
        if (message.message != WM_QUIT && (!m_app || !m_app->PreTranslateMessage(message))) {
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

std::vector<TestRow> AppTest::Rows() const
{
    std::vector<TestRow> rows;
    for (int row = 0; row < List().GetItemCount(); ++row) rows.push_back(ReadRow(List(), row));
    return rows;
}

void AppTest::PressKeys(std::initializer_list<WORD> keys)
{
    SetForegroundWindow(Frame().GetSafeHwnd());
    SetFocus(View().GetSafeHwnd());
    Pump();
    std::vector<INPUT> inputs;
    for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}})
        for (const WORD key : keys) inputs.push_back(INPUT{INPUT_KEYBOARD, {.ki = {key, 0, flags, 0, 0}}});
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // The keys travel through the window system before they reach the queue.
    for (int round = 0; round < 10; ++round) {
        Sleep(20);
        Pump();
    }
}

fs::path CopyCorpusFile(const wchar_t* name, const fs::path& copy)
{
    fs::copy_file(CorpusFile(name), copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
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

void DeleteSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey.c_str()), RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey.c_str()); }

bool SettingsKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring ReadSetting(const wchar_t* section, const wchar_t* entry)
{
    wchar_t value[2048] = {};
    DWORD size = sizeof value, type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, SectionKey(section).c_str(), entry, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, value, &size) != ERROR_SUCCESS) return L"";
    DWORD number = 0;
    std::memcpy(&number, value, sizeof number);
    return type == REG_DWORD ? std::to_wstring(number) : value;
}

void WriteSetting(const wchar_t* section, const wchar_t* entry, const std::wstring& value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey(section).c_str(), entry, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteSetting(const wchar_t* section, const wchar_t* entry, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, SectionKey(section).c_str(), entry, REG_DWORD, &value, sizeof value);
}
