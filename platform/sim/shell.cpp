// Shell folders, the process's explicit application user model id, COM object
// creation and task memory.
#include "shell_p.h"

#include "faults_p.h"
#include "reset_p.h"
#include "shelllink_p.h"

#include <shlobj.h>
#include <winsim/control.h>

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <mutex>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>

namespace {

struct ShellState
{
    std::mutex mutex;
    QString processAppUserModelId;
    QMap<int, QString> folders;
};

ShellState& shell()
{
    static ShellState s;
    return s;
}

QString defaultFolder(int csidl)
{
    const QString applications = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    switch (csidl) {
    case CSIDL_PROGRAMS:
        return applications;
    case CSIDL_STARTMENU:
        return QFileInfo(applications).path();
    case CSIDL_COMMON_PROGRAMS:
        return QStringLiteral("/usr/share/applications");
    case CSIDL_COMMON_STARTMENU:
        return QStringLiteral("/usr/share");
    case CSIDL_APPDATA:
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    case CSIDL_LOCAL_APPDATA:
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    default:
        return QString();
    }
}

LPWSTR taskMemCopy(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (copy)
        std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

} // namespace

namespace winsim {

HRESULT processAppUserModelId(PWSTR* appId)
{
    if (!appId)
        return E_INVALIDARG;
    *appId = nullptr;
    QString id;
    {
        std::lock_guard<std::mutex> lock(shell().mutex);
        id = shell().processAppUserModelId;
    }
    if (id.isEmpty())
        return E_FAIL; // the process never set one
    *appId = taskMemCopy(id.toStdWString());
    return *appId ? S_OK : E_OUTOFMEMORY;
}

HRESULT setProcessAppUserModelId(PCWSTR appId)
{
    if (!appId || !*appId)
        return E_INVALIDARG;
    const QString id = QString::fromWCharArray(appId);
    if (id.size() > 128)
        return E_INVALIDARG; // the documented limit
    std::lock_guard<std::mutex> lock(shell().mutex);
    shell().processAppUserModelId = id;
    return S_OK;
}

namespace control {

void setProcessAppUserModelId(const QString& id)
{
    std::lock_guard<std::mutex> lock(shell().mutex);
    shell().processAppUserModelId = id;
}

QString processAppUserModelId()
{
    std::lock_guard<std::mutex> lock(shell().mutex);
    return shell().processAppUserModelId;
}

void setFolderPath(int csidl, const QString& path)
{
    std::lock_guard<std::mutex> lock(shell().mutex);
    if (path.isEmpty())
        shell().folders.remove(csidl);
    else
        shell().folders.insert(csidl, path);
}

} // namespace control

namespace detail {

void resetShell()
{
    std::lock_guard<std::mutex> lock(shell().mutex);
    shell().processAppUserModelId.clear();
    shell().folders.clear();
}

} // namespace detail
} // namespace winsim

extern "C" HRESULT SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD, LPWSTR pszPath)
{
    WINSIM_CALL("SHGetFolderPathW", pszPath);
    if (!pszPath)
        return E_INVALIDARG;
    pszPath[0] = L'\0';
    const int folder = csidl & ~CSIDL_FLAG_CREATE;
    QString path;
    {
        std::lock_guard<std::mutex> lock(shell().mutex);
        path = shell().folders.value(folder);
    }
    if (path.isEmpty())
        path = defaultFolder(folder);
    if (path.isEmpty())
        return E_INVALIDARG;
    if (csidl & CSIDL_FLAG_CREATE)
        QDir().mkpath(path);
    const std::wstring wide = QDir::cleanPath(path).toStdWString();
    if (wide.size() >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(pszPath, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return S_OK;
}

extern "C" HRESULT CoInitializeEx(LPVOID, DWORD)
{
    return S_OK;
}

extern "C" void CoUninitialize() {}

extern "C" HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* outer, DWORD, REFIID riid, LPVOID* ppv)
{
    WINSIM_CALL("CoCreateInstance", ppv);
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (rclsid != CLSID_ShellLink)
        return REGDB_E_CLASSNOTREG;
    Microsoft::WRL::ComPtr<IUnknown> link = winsim::makeShellLink();
    if (!link)
        return E_OUTOFMEMORY;
    return link->QueryInterface(riid, ppv);
}

extern "C" LPVOID CoTaskMemAlloc(SIZE_T cb)
{
    if (winsim::detail::enterCall("CoTaskMemAlloc").outcome != winsim::detail::CallDecision::Proceed)
        return nullptr;
    return std::malloc(cb ? cb : 1);
}

extern "C" void CoTaskMemFree(LPVOID pv)
{
    std::free(pv);
}
