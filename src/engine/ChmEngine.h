// Opens one help file at a time through the storage component, walks its tree
// into the rows of a list, and copies single streams out to disk.
#pragma once

#include "engine/FileSystem.h"
#include "engine/FileTypes.h"
#include "engine/ListControl.h"
#include "engine/ParentStorageTable.h"
#include "engine/ReplaceQuestion.h"
#include "storage/ComRef.h"
#include "storage/ITStorage.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

class CChmEngine {
public:
    using ErrorReporter = std::function<void(const std::wstring& message)>;

    // `reportError` shows the message when the component cannot be created.
    explicit CChmEngine(const ErrorReporter& reportError = {}, IFileSystem& fileSystem = PlatformFileSystem());
    ~CChmEngine();
    CChmEngine(const CChmEngine&) = delete;
    CChmEngine& operator=(const CChmEngine&) = delete;

    // The component's result; negative when the file could not be opened, and
    // then no root is held.
    HRESULT OpenFile(const std::wstring& path);
    IStorage* GetRoot() const { return m_pRoot.Get(); }
    // The file last asked for, whether or not it opened.
    const std::wstring& GetFilePath() const { return m_filePath; }

    // Forgets the rows' storages; the list must be emptied with it.
    void ReleaseWalk();

    // Appends a row for every stream beneath `storage`, depth first in the
    // component's order, skipping "#" and "$" names at every depth: the listing's walk, which
    // every other reader of the file takes too. `prefix` is the storage's internal path: empty
    // for the root, else "a\b\". Returns the rows added.
    int WalkStorage(IListControl& list, IFileTypes& types, IStorage* storage, std::wstring prefix);

    // The storage named by a row's item data; null when no row of the last walk has it.
    IStorage* GetParentStorage(std::intptr_t itemData) const { return m_parentStorages.At(itemData); }

    // Copies one stream to a file under `targetFolder`, inside its internal
    // folders when `usePaths`. FALSE when the stream could not be opened or read
    // (GetLastFileError then has no cause) or the file could not be written
    // (GetLastFileError says why); no partial file is left either way. A file kept because the
    // replace question said so counts as done.
    BOOL ExtractStream(IStorage* parent, const std::wstring& internalPath, const std::wstring& name,
                       const std::wstring& targetFolder, BOOL usePaths);
    const FileError& GetLastFileError() const { return m_lastFileError; }
    // Every file ExtractStream writes from now on gets this zone mark, as Windows marks what it
    // unpacks from a downloaded archive; empty for none.
    void SetZoneMarkOfCopies(std::string mark) { m_zoneMarkOfCopies = std::move(mark); }
    const std::string& GetZoneMarkOfCopies() const { return m_zoneMarkOfCopies; }
    // What the help file says is damaged in the stream the last ExtractStream could not read.
    const DamageReport& GetLastDamage() const { return m_lastDamage; }
    // Until it is set again, a file that existed before this call is replaced only when `question`
    // allows it; null replaces without asking. A file this run wrote itself is replaced without
    // asking: the question must outlive the run.
    void AskBeforeReplacing(IReplaceQuestion* question)
    {
        m_replaceQuestion = question;
        m_writtenThisRun.clear();
    }
    // Where later runs write; it must outlive them. One that writes behind the reads reports the
    // files it could not write itself: ExtractStream then answers for the stream's reading only.
    void SetFileSystem(IFileSystem& fileSystem) { m_fileSystem = &fileSystem; }
    IFileSystem& GetFileSystem() const { return *m_fileSystem; }
    // Called at the start of every run: the folders made by an earlier one may have been removed since.
    void ForgetMadeFolders()
    {
        m_madeFolders.clear();
        m_fileSystem->ForgetFolders();
    }

    int GetOpenStorageCount() const { return static_cast<int>(m_openStorages.size()); }
    const CParentStorageTable& GetParentStorages() const { return m_parentStorages; }

private:
    void InsertRow(IListControl& list, IFileTypes& types, IStorage* storage, const std::wstring& name,
                   std::uint64_t size, const std::wstring& folder);
    void KeepOpenStorage(IStorage* child);
    void AppendInternalFolders(std::wstring& target, const std::wstring& internalPath);
    bool MayWrite(const std::wstring& target);
    BOOL CopyToFile(IStream& stream, const std::wstring& target);
    BOOL RecordFileError(const FileError& error, const std::wstring& target);

    CParentStorageTable m_parentStorages;
    std::vector<tarnwick::storage::ComRef<IStorage>> m_openStorages;
    tarnwick::storage::ComRef<IITStorage> m_pFactory;
    tarnwick::storage::ComRef<IStorage> m_pRoot;

    IFileSystem* m_fileSystem;
    CFileTypeCache m_typesOfThisWalk;
    std::vector<std::uint8_t> m_copyBuffer;
    std::unordered_set<std::wstring> m_madeFolders;
    FileError m_lastFileError;
    std::string m_zoneMarkOfCopies;
    DamageReport m_lastDamage;
    std::wstring m_filePath;
    IReplaceQuestion* m_replaceQuestion = nullptr;
    // Case-folded, as the file system compares them.
    std::unordered_set<std::wstring> m_writtenThisRun;
#ifdef _WIN32
    bool m_comInitialized = false;
#endif
};
