// Checks that the Windows test environment (Wine prefix, locale, test-data wiring) behaves like the
// Simplified Chinese Windows the program ships for; every other Windows test relies on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring environmentVariable(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer))
        return {};
    return std::wstring(buffer, length);
}

class ScratchFolder {
public:
    ScratchFolder()
    {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
        if (length == 0 || length > MAX_PATH)
            return;
        path_ = std::wstring(temp, length) + L"tarnwick-platform-" + std::to_wstring(GetCurrentProcessId());
        if (!CreateDirectoryW(path_.c_str(), nullptr))
            path_.clear();
    }
    ~ScratchFolder()
    {
        if (!path_.empty())
            RemoveDirectoryW(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace

TEST(WindowsEnvironment, AnsiCodePageIsSimplifiedChinese)
{
    EXPECT_EQ(GetACP(), 936u);
}

TEST(WindowsEnvironment, CorpusPathFromCtestIsAnOpenableFolder)
{
    const std::wstring corpus = environmentVariable(L"TARNWICK_CORPUS");
    ASSERT_FALSE(corpus.empty()) << "TARNWICK_CORPUS did not reach the Windows process";
    const DWORD attributes = GetFileAttributesW(corpus.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "error " << GetLastError();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(WindowsEnvironment, ChineseFileNameSurvivesCreateAndReadBack)
{
    ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty()) << "error " << GetLastError();

    // "帮助文件目录.txt", outside code page 1252 and with a GB2312 lead byte in every character.
    const std::wstring name = L"\u5e2e\u52a9\u6587\u4ef6\u76ee\u5f55.txt";
    const std::wstring path = folder.path() + L"\\" + name;
    const char payload[] = "Tarnwick";

    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    DWORD written = 0;
    const BOOL wrote = WriteFile(out, payload, sizeof payload, &written, nullptr);
    CloseHandle(out);
    ASSERT_TRUE(wrote);
    ASSERT_EQ(written, sizeof payload);

    // The folder listing must hand back the same characters, not '?' from a lossy conversion.
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder.path() + L"\\*.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    FindClose(search);
    EXPECT_EQ(std::wstring(found.cFileName), name);

    HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(in, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    char readBack[sizeof payload + 8] = {};
    DWORD read = 0;
    const BOOL ok = ReadFile(in, readBack, sizeof readBack, &read, nullptr);
    CloseHandle(in);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::string(readBack, read), std::string(payload, sizeof payload));

    EXPECT_TRUE(DeleteFileW(path.c_str())) << "error " << GetLastError();
}
