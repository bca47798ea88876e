#include "engine/ChmEngine.h"

#include "engine/DamageReasons.h"
#include "engine/SafeName.h"
#include "helpfile/EntryTable.h"

#include <algorithm>

using tarnwick::helpfile::WalkedStream;
using tarnwick::helpfile::WalkScope;
using tarnwick::helpfile::WalkStreams;
using tarnwick::storage::ComRef;

namespace {

constexpr ULONG kReadSize = 4096;
// Reads stay at 4096 bytes; writes are gathered so that a file costs few system calls.
constexpr std::size_t kCopyBufferSize = 16 * kReadSize;
constexpr int kRowsBeforeFirstPaint = 100;

constexpr DWORD kOpenHelpFileMode = STGM_READ | STGM_SHARE_DENY_WRITE;

// The full 64-bit size: streams of 4 GiB and more must not show a wrapped value.
struct SizeText {
    explicit SizeText(std::uint64_t size)
    {
        wchar_t* digit = text + sizeof text / sizeof text[0] - 1;
        *digit = L'\0';
        do {
            *--digit = static_cast<wchar_t>(L'0' + size % 10);
            size /= 10;
        } while (size != 0);
        begin = digit;
    }
    wchar_t text[21];
    const wchar_t* begin;
};

} // namespace

CChmEngine::CChmEngine(const ErrorReporter& reportError, IFileSystem& fileSystem)
    : m_fileSystem(&fileSystem), m_copyBuffer(kCopyBufferSize)
{
#ifdef _WIN32
    m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
#endif
    if (FAILED(CreateITStorage(m_pFactory.Put())) && reportError) reportError(L"创建CHM引擎错误");
}

CChmEngine::~CChmEngine()
{
    ReleaseWalk();
    m_pRoot.Reset();
    m_pFactory.Reset();
#ifdef _WIN32
    if (m_comInitialized) CoUninitialize();
#endif
}

HRESULT CChmEngine::OpenFile(const std::wstring& path)
{
    m_pRoot.Reset();
    m_filePath = path;
    if (!m_pFactory) return E_FAIL;
    return m_pFactory->StgOpenStorage(path.c_str(), nullptr, kOpenHelpFileMode, nullptr, 0, m_pRoot.Put());
}

void CChmEngine::ReleaseWalk()
{
    m_openStorages.clear();
    m_parentStorages.RemoveAll();
    m_typesOfThisWalk.Clear();
}

int CChmEngine::WalkStorage(IListControl& list, IFileTypes& types, IStorage* storage, std::wstring prefix)
{
    IStorage* lastStorage = storage;
    const auto walked = WalkStreams(storage, WalkScope::Listed, [&](const WalkedStream& stream) {
        if (stream.storage != storage && stream.storage != lastStorage) KeepOpenStorage(stream.storage);
        lastStorage = stream.storage;
        InsertRow(list, types, stream.storage, stream.name, stream.size, prefix + stream.folder);
    });
    return static_cast<int>(walked.streams);
}

void CChmEngine::KeepOpenStorage(IStorage* child)
{
    const bool known = std::any_of(m_openStorages.begin(), m_openStorages.end(),
                                   [child](const ComRef<IStorage>& open) { return open.Get() == child; });
    if (known) return;
    child->AddRef();
    m_openStorages.emplace_back(child);
}

void CChmEngine::InsertRow(IListControl& list, IFileTypes& types, IStorage* storage, const std::wstring& name,
                           std::uint64_t size, const std::wstring& folder)
{
    const CFileTypeCache::Type& type = m_typesOfThisWalk.Of(types, name);
    const int row = list.GetRowCount();
    const int tableIndex = m_parentStorages.Append(storage);
    list.InsertRow(row, name.c_str(), type.icon, tableIndex);
    list.SetCellText(row, 1, SizeText(size).begin);
    list.SetCellText(row, 2, type.name.c_str());
    list.SetCellText(row, 3, folder.c_str());
    // One paint, so the first screenful shows while the rest of the tree is read.
    if (list.GetRowCount() == kRowsBeforeFirstPaint) {
        list.SetRedraw(true);
        list.RepaintNow();
        list.SetRedraw(false);
    }
}

BOOL CChmEngine::ExtractStream(IStorage* parent, const std::wstring& internalPath, const std::wstring& name,
                               const std::wstring& targetFolder, BOOL usePaths)
{
    m_lastFileError = {};
    m_lastDamage = {};
    if (!parent) return FALSE;
    ComRef<IStream> stream;
    if (FAILED(parent->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Put())) || !stream) {
        m_lastDamage = LastDamage(parent);
        return FALSE;
    }

    std::wstring target = targetFolder;
    if (usePaths && !internalPath.empty()) AppendInternalFolders(target, internalPath);
    AppendPath(target, SafeFileName(name));
    if (!MayWrite(target)) return TRUE;
    const BOOL copied = CopyToFile(*stream.Get(), target);
    if (!copied && m_lastFileError.cause == FileErrorCause::None) m_lastDamage = LastDamage(stream.Get());
    // A disk that keeps no marks (FAT) still gets the file, as Windows' own unpacking does.
    if (copied && !m_zoneMarkOfCopies.empty()) m_fileSystem->WriteZoneMark(target, m_zoneMarkOfCopies);
    return copied;
}

bool CChmEngine::MayWrite(const std::wstring& target)
{
    if (!m_replaceQuestion) return true;
    std::wstring key = FoldPathCase(target);
    if (!m_writtenThisRun.contains(key) && m_fileSystem->FileExists(target) && !m_replaceQuestion->MayReplace(target))
        return false;
    m_writtenThisRun.insert(std::move(key));
    return true;
}

void CChmEngine::AppendInternalFolders(std::wstring& target, const std::wstring& internalPath)
{
    const std::vector<std::wstring> levels = SafeFolderNames(internalPath);
    std::wstring chain = target;
    for (const std::wstring& level : levels) AppendPath(chain, level);
    // A run writes thousands of files into a few folders: ask the file system about each folder once.
    if (!m_madeFolders.contains(chain)) {
        if (!m_fileSystem->DirectoryExists(chain)) {
            // Outermost first; a level that exists already is simply passed over.
            for (const std::wstring& level : levels) {
                AppendPath(target, level);
                m_fileSystem->MakeDirectory(target);
            }
        }
        m_madeFolders.insert(chain);
    }
    target = std::move(chain);
}

BOOL CChmEngine::CopyToFile(IStream& stream, const std::wstring& target)
{
    FileError error;
    std::unique_ptr<IOutputFile> file = m_fileSystem->CreateAlways(target, error);
    if (!file) return RecordFileError(error, target);

    // A copy that stops half-way must not pass for the stream's content.
    const auto discard = [&] {
        file.reset();
        m_fileSystem->RemoveFile(target);
        return FALSE;
    };
    std::size_t filled = 0;
    ULONG got = kReadSize;
    while (got == kReadSize) {
        got = 0;
        if (FAILED(stream.Read(m_copyBuffer.data() + filled, kReadSize, &got)) || got > kReadSize) return discard();
        filled += got;
        const bool last = got < kReadSize;
        if (filled + kReadSize > m_copyBuffer.size() || (last && filled > 0)) {
            if (!file->Write({m_copyBuffer.data(), filled}, error)) {
                discard();
                return RecordFileError(error, target);
            }
            filled = 0;
        }
    }
    if (!file->Close(error)) {
        discard();
        return RecordFileError(error, target);
    }
    return TRUE;
}

BOOL CChmEngine::RecordFileError(const FileError& error, const std::wstring& target)
{
    // The folder may be what went away.
    ForgetMadeFolders();
    m_lastFileError = error;
    m_lastFileError.path = target;
    return FALSE;
}
