// The platform's strings in the Windows build: every HSTRING the component
// hands out or reads is combase's own, so the module releases it with the
// WindowsDeleteString it resolves from combase. Looked up by name in combase
// itself (already loaded: it activated this component), not through the
// api-set import library, which not every runtime resolves.
#include "../sim/hstring_p.h"

#include <winstring.h>

namespace {

template <class F>
F combaseEntry(const char* name)
{
    static const HMODULE combase = LoadLibraryW(L"combase.dll");
    return combase ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(combase, name))) : nullptr;
}

} // namespace

namespace winsim {

HSTRING makeString(const QString& text)
{
    using CreateFn = HRESULT(WINAPI*)(PCWSTR, UINT32, HSTRING*);
    static const CreateFn create = combaseEntry<CreateFn>("WindowsCreateString");
    HSTRING string = nullptr;
    const std::wstring wide = text.toStdWString();
    if (!create || FAILED(create(wide.c_str(), static_cast<UINT32>(wide.size()), &string)))
        return nullptr; // the caller sees an empty string
    return string;
}

QString toQString(HSTRING string)
{
    using RawBufferFn = PCWSTR(WINAPI*)(HSTRING, UINT32*);
    static const RawBufferFn rawBuffer = combaseEntry<RawBufferFn>("WindowsGetStringRawBuffer");
    UINT32 length = 0;
    const wchar_t* buffer = rawBuffer ? rawBuffer(string, &length) : nullptr;
    if (!buffer)
        return QString();
    return QString::fromWCharArray(buffer, static_cast<int>(length));
}

} // namespace winsim
