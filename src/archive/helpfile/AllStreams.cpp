#include "AllStreams.h"

namespace tarnwick::helpfile {

using storage::ComRef;

namespace {

// As deep as the engine's walk goes.
constexpr int kMaxWalkDepth = 256;

bool IsInternalName(const wchar_t* name) { return name[0] == L'#' || name[0] == L'$'; }

struct PendingStorage {
    ComRef<IStorage> storage;
    std::wstring path;
    int depth = 0;
    bool internal = false;
};

} // namespace

// Storages are taken from a list of their own rather than by recursion: a file decides how deep
// its folders go.
StreamWalk AllStreams(IStorage* root)
{
    StreamWalk walk;
    if (!root) return walk;
    std::vector<PendingStorage> pending;
    root->AddRef();
    pending.push_back({ComRef<IStorage>(root), {}, 0, false});
    while (!pending.empty()) {
        PendingStorage current = std::move(pending.back());
        pending.pop_back();
        ComRef<IEnumSTATSTG> elements;
        if (FAILED(current.storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) continue;
        STATSTG element{};
        while (elements->Next(1, &element, nullptr) == S_OK) {
            const std::wstring name = element.pwcsName ? element.pwcsName : L"";
            CoTaskMemFree(element.pwcsName);
            element.pwcsName = nullptr;
            const bool internal = current.internal || IsInternalName(name.c_str());
            if (element.type == STGTY_STREAM) {
                walk.streams.push_back({current.storage, current.path, name, element.cbSize.QuadPart, internal});
            } else if (element.type == STGTY_STORAGE && current.depth >= kMaxWalkDepth) {
                walk.cut = true;
            } else if (element.type == STGTY_STORAGE) {
                ComRef<IStorage> child;
                if (SUCCEEDED(current.storage->OpenStorage(name.c_str(), nullptr, STGM_READ, nullptr, 0, child.Put())) &&
                    child)
                    pending.push_back({std::move(child), current.path + name + L"\\", current.depth + 1, internal});
            }
        }
    }
    return walk;
}

} // namespace tarnwick::helpfile
