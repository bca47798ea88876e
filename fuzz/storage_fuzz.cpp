// libFuzzer entry point for the storage component: any bytes are opened as a help file from
// memory, and the whole tree is walked through the COM interfaces the way the engine walks it,
// reading every stream in full and once more from its middle. Damage may make an element
// unreadable, but never an interface fault: an enumerated name that does not open its element, a
// name listed twice, a result that disagrees with what it hands out, more bytes than announced, a
// stream refused as damaged without a reason that the damage report can name.
// Work per input is bounded so that a file claiming huge streams costs time only up to the budget.
#include "HelpFileBytes.h"
#include "storage/ComRef.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using tarnwick::storage::ComRef;

struct Budget {
    std::uint64_t bytes = 32u << 20;
    std::uint32_t elements = 50000;
    bool Spent() const { return bytes == 0 || elements == 0; }
};

void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

// What the command-line test prints for a damaged stream comes from here.
void CheckDamageNamed(IUnknown* object)
{
    ComRef<IDamageReport> report;
    Check(SUCCEEDED(object->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(report.Put()))) && report);
    DamageReport damage;
    Check(SUCCEEDED(report->GetLastDamage(&damage)) && damage.damage != StreamDamage::None);
}

void ReadStream(IStream* stream, std::uint64_t size, Budget& budget)
{
    static std::uint8_t buffer[4096];
    std::uint64_t total = 0;
    for (;;) {
        ULONG got = 0;
        const HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
        Check(SUCCEEDED(hr) || got == 0);
        if (hr == STG_E_READFAULT) CheckDamageNamed(stream);
        if (FAILED(hr) || got == 0) break;
        total += got;
        Check(got <= sizeof buffer && total <= size);
        budget.bytes -= std::min<std::uint64_t>(budget.bytes, got);
        if (budget.Spent()) return;
    }
    // Random access lands on a reset point other than the first.
    LARGE_INTEGER middle{};
    middle.QuadPart = static_cast<std::int64_t>(size / 2);
    if (SUCCEEDED(stream->Seek(middle, STREAM_SEEK_SET, nullptr))) {
        ULONG got = 0;
        if (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got))) budget.bytes -= std::min<std::uint64_t>(budget.bytes, got);
    }
    STATSTG record{};
    if (SUCCEEDED(stream->Stat(&record, 0))) CoTaskMemFree(record.pwcsName);
}

void Walk(IStorage* storage, Budget& budget, int depth)
{
    if (depth > 64) return; // the harness's own stack, not the component's
    ComRef<IEnumSTATSTG> enumerator;
    if (FAILED(storage->EnumElements(0, nullptr, 0, enumerator.Put())) || !enumerator) return;
    STATSTG record{};
    std::set<std::pair<DWORD, std::wstring>> listed;
    while (!budget.Spent() && enumerator->Next(1, &record, nullptr) == S_OK) {
        --budget.elements;
        Check(record.pwcsName != nullptr);
        Check(listed.emplace(record.type, record.pwcsName).second);
        if (record.type == STGTY_STORAGE) {
            ComRef<IStorage> child;
            Check(SUCCEEDED(storage->OpenStorage(record.pwcsName, nullptr, 0, nullptr, 0, child.Put())) && child);
            Walk(child.Get(), budget, depth + 1);
        } else {
            ComRef<IStream> stream;
            const HRESULT hr = storage->OpenStream(record.pwcsName, nullptr, 0, 0, stream.Put());
            Check(hr != STG_E_FILENOTFOUND && SUCCEEDED(hr) == static_cast<bool>(stream));
            if (hr == STG_E_DOCFILECORRUPT) CheckDamageNamed(storage);
            if (stream) ReadStream(stream.Get(), record.cbSize.QuadPart, budget);
        }
        CoTaskMemFree(record.pwcsName);
        record.pwcsName = nullptr;
    }
    // The enumerator's other entry points, on the same list.
    ComRef<IEnumSTATSTG> clone;
    if (SUCCEEDED(enumerator->Reset()) && SUCCEEDED(enumerator->Skip(1)) && SUCCEEDED(enumerator->Clone(clone.Put())) && clone) {
        ULONG fetched = 0;
        STATSTG two[2]{};
        if (clone->Next(2, two, &fetched) >= 0)
            for (ULONG i = 0; i < fetched && i < 2; ++i) CoTaskMemFree(two[i].pwcsName);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ComRef<IStorage> root = OpenHelpFileBytes(data, size);
    if (!root) return 0;
    Budget budget;
    Walk(root.Get(), budget, 0);
    ComRef<IDamageReport> report;
    ULONG state = 0;
    Check(SUCCEEDED(root->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(report.Put()))) &&
          SUCCEEDED(report->GetSectionState(&state)));
    return 0;
}
