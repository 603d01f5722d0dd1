#include "hstring_p.h"

#include <winsim/control.h>

#include <QDebug>
#include <mutex>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace {

constexpr uint32_t k_referenceMagic = 0x52454653; // "SFER"
constexpr uint32_t k_ownedMagic = 0x534E574F;     // "OWNS"

struct StringHeader
{
    uint32_t magic;
    uint32_t length;
    const wchar_t* text;
};
static_assert(sizeof(StringHeader) <= sizeof(HSTRING_HEADER), "a reference string lives in the caller's header");

struct OwnedString
{
    StringHeader header;
    std::atomic<int> references;
    wchar_t text[1];
};

// Handles are kept disguised so that a string nobody deleted is still reported
// as a leak by LeakSanitizer instead of being reachable from this set.
constexpr uintptr_t k_disguise = 0xA5A5A5A5A5A5A5A5u;

uintptr_t disguised(const void* string)
{
    return reinterpret_cast<uintptr_t>(string) ^ k_disguise;
}

struct LiveStrings
{
    std::mutex mutex;
    std::unordered_set<uintptr_t> owned;
    int invalidReleases = 0;
};

LiveStrings& live()
{
    static LiveStrings* strings = new LiveStrings; // strings may be released during static destruction
    return *strings;
}

const StringHeader* headerOf(HSTRING string)
{
    return reinterpret_cast<const StringHeader*>(string);
}

HSTRING allocate(const wchar_t* source, UINT32 length)
{
    void* memory = std::malloc(sizeof(OwnedString) + sizeof(wchar_t) * length);
    if (!memory)
        return nullptr;
    auto* owned = new (memory) OwnedString;
    if (length)
        std::memcpy(owned->text, source, sizeof(wchar_t) * length);
    owned->text[length] = L'\0';
    owned->header = {k_ownedMagic, length, owned->text};
    owned->references.store(1);
    {
        std::lock_guard<std::mutex> lock(live().mutex);
        live().owned.insert(disguised(owned));
    }
    return reinterpret_cast<HSTRING>(owned);
}

bool isLiveOwned(HSTRING string)
{
    std::lock_guard<std::mutex> lock(live().mutex);
    return live().owned.count(disguised(string)) != 0;
}

} // namespace

namespace winsim {

HRESULT createString(PCWSTR source, UINT32 length, HSTRING* string)
{
    if (!string)
        return E_INVALIDARG;
    *string = nullptr;
    if (!source && length)
        return E_POINTER;
    if (length == 0)
        return S_OK; // the empty string is the null handle
    *string = allocate(source, length);
    return *string ? S_OK : E_OUTOFMEMORY;
}

HRESULT createStringReference(PCWSTR source, UINT32 length, HSTRING_HEADER* header, HSTRING* string)
{
    if (!string || !header)
        return E_INVALIDARG;
    *string = nullptr;
    if (!source && length)
        return E_POINTER;
    if (length == 0)
        return S_OK;
    if (source[length] != L'\0')
        return E_INVALIDARG; // a reference string must be terminated where it ends
    std::memset(header, 0, sizeof(*header));
    auto* h = reinterpret_cast<StringHeader*>(header);
    *h = {k_referenceMagic, length, source};
    *string = reinterpret_cast<HSTRING>(header);
    return S_OK;
}

HRESULT deleteString(HSTRING string)
{
    if (!string)
        return S_OK;
    if (isLiveOwned(string)) {
        auto* owned = reinterpret_cast<OwnedString*>(string);
        if (--owned->references == 0) {
            {
                std::lock_guard<std::mutex> lock(live().mutex);
                live().owned.erase(disguised(owned));
            }
            owned->header.magic = 0;
            owned->~OwnedString();
            std::free(owned);
        }
        return S_OK;
    }
    // Not a live owned string: a reference string (nothing to free), or a handle
    // already released. Reading it in the second case is what AddressSanitizer reports.
    if (headerOf(string)->magic == k_referenceMagic)
        return S_OK;
    {
        std::lock_guard<std::mutex> lock(live().mutex);
        ++live().invalidReleases;
    }
    qWarning("winsim: WindowsDeleteString of a string that is not alive");
    return S_OK;
}

HRESULT duplicateString(HSTRING string, HSTRING* copy)
{
    if (!copy)
        return E_INVALIDARG;
    *copy = nullptr;
    if (!string)
        return S_OK;
    if (isLiveOwned(string)) {
        ++reinterpret_cast<OwnedString*>(string)->references;
        *copy = string;
        return S_OK;
    }
    // A reference string is copied into an owned one.
    const StringHeader* header = headerOf(string);
    *copy = allocate(header->text, header->length);
    return *copy ? S_OK : E_OUTOFMEMORY;
}

PCWSTR stringRawBuffer(HSTRING string, UINT32* length)
{
    if (!string) {
        if (length)
            *length = 0;
        return L"";
    }
    const StringHeader* header = headerOf(string);
    if (length)
        *length = header->length;
    return header->text;
}

HSTRING makeString(const QString& text)
{
    const std::wstring wide = text.toStdWString();
    if (wide.empty())
        return nullptr;
    return allocate(wide.c_str(), static_cast<UINT32>(wide.size()));
}

QString toQString(HSTRING string)
{
    UINT32 length = 0;
    const wchar_t* text = stringRawBuffer(string, &length);
    return QString::fromWCharArray(text, static_cast<int>(length));
}

namespace control {

int liveStrings()
{
    std::lock_guard<std::mutex> lock(live().mutex);
    return static_cast<int>(live().owned.size());
}

int invalidStringReleases()
{
    std::lock_guard<std::mutex> lock(live().mutex);
    return live().invalidReleases;
}

} // namespace control
} // namespace winsim
