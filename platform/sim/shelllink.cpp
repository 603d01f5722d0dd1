#include "shelllink_p.h"

#include <combaseapi.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace winsim {

namespace {

// Copies text into a caller's buffer of cch characters, truncating as Windows does.
HRESULT copyOut(const QString& text, LPWSTR buffer, int cch)
{
    if (!buffer || cch <= 0)
        return E_INVALIDARG;
    const std::wstring wide = text.toStdWString();
    const size_t room = static_cast<size_t>(cch) - 1;
    const size_t count = wide.size() < room ? wide.size() : room;
    std::memcpy(buffer, wide.data(), count * sizeof(wchar_t));
    buffer[count] = L'\0';
    return S_OK;
}

QString fromWide(LPCWSTR text)
{
    return QString::fromWCharArray(text);
}

// The property store view flattened: (storage, value) of each integer-named property.
struct PropertyRef
{
    int storage;
    int value;
};

QVector<PropertyRef> allProperties(const QVector<PropertyStorage>& storages)
{
    QVector<PropertyRef> refs;
    for (int s = 0; s < storages.size(); ++s) {
        for (int v = 0; v < storages.at(s).values.size(); ++v)
            refs.append({s, v});
    }
    return refs;
}

PropertyRef findProperty(const QVector<PropertyStorage>& storages, REFPROPERTYKEY key)
{
    for (int s = 0; s < storages.size(); ++s) {
        const PropertyStorage& storage = storages.at(s);
        if (storage.stringNamed || storage.formatId != key.fmtid)
            continue;
        for (int v = 0; v < storage.values.size(); ++v) {
            if (storage.values.at(v).id == key.pid)
                return {s, v};
        }
    }
    return {-1, -1};
}

// A stored value as a PROPVARIANT the caller owns. Types the simulation does not
// decode read as VT_EMPTY.
HRESULT toPropVariant(const QByteArray& typedValue, PROPVARIANT* pv)
{
    std::memset(pv, 0, sizeof(*pv));
    QString text;
    if (readTypedString(typedValue, &text)) {
        const std::wstring wide = text.toStdWString();
        const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
        auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        if (!copy)
            return E_OUTOFMEMORY;
        std::memcpy(copy, wide.c_str(), bytes);
        pv->vt = VT_LPWSTR;
        pv->pwszVal = copy;
        return S_OK;
    }
    if (typedValue.size() >= 8) {
        const auto type = static_cast<uint16_t>(static_cast<uint8_t>(typedValue[0]) | static_cast<uint8_t>(typedValue[1]) << 8);
        uint32_t number = 0;
        std::memcpy(&number, typedValue.constData() + 4, 4); // little-endian hosts only, as Windows
        if (type == VT_UI4 || type == VT_I4) {
            pv->vt = type;
            pv->ulVal = number;
        } else if (type == VT_BOOL) {
            pv->vt = VT_BOOL;
            pv->boolVal = static_cast<VARIANT_BOOL>(number & 0xFFFF);
        }
    }
    return S_OK;
}

bool toTypedValue(REFPROPVARIANT value, QByteArray* typedValue)
{
    if (value.vt == VT_LPWSTR) {
        *typedValue = typedStringValue(fromWide(value.pwszVal ? value.pwszVal : L""));
        return true;
    }
    if (value.vt == VT_UI4 || value.vt == VT_I4 || value.vt == VT_BOOL) {
        typedValue->resize(8);
        const uint32_t number = value.vt == VT_BOOL ? static_cast<uint16_t>(value.boolVal) : value.ulVal;
        const uint16_t type = value.vt;
        std::memcpy(typedValue->data(), &type, 2);
        std::memset(typedValue->data() + 2, 0, 2);
        std::memcpy(typedValue->data() + 4, &number, 4);
        return true;
    }
    return false;
}

} // namespace

HRESULT ShellLink::QueryInterface(REFIID riid, void** object)
{
    if (riid == __uuidof(IPersist)) {
        WINSIM_CALL("QueryInterface(IPersist)", object);
        if (!object)
            return E_POINTER;
        *object = static_cast<IPersist*>(static_cast<IPersistFile*>(this));
        AddRef();
        return S_OK;
    }
    return SimObject::QueryInterface(riid, object);
}

HRESULT ShellLink::setField(QString* field, LPCWSTR value)
{
    if (!value)
        return E_INVALIDARG;
    *field = fromWide(value);
    m_dirty = true;
    return S_OK;
}

HRESULT ShellLink::GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD)
{
    WINSIM_CALL("IShellLinkW::GetPath");
    const HRESULT hr = copyOut(m_file.targetPath, pszFile, cch);
    if (FAILED(hr))
        return hr;
    if (pfd) {
        std::memset(pfd, 0, sizeof(*pfd));
        pfd->dwFileAttributes = m_file.fileAttributes;
        pfd->nFileSizeLow = m_file.fileSize;
        copyOut(QFileInfo(m_file.targetPath).fileName(), pfd->cFileName, MAX_PATH);
    }
    return m_file.targetPath.isEmpty() ? S_FALSE : S_OK;
}

HRESULT ShellLink::GetIDList(PIDLIST_ABSOLUTE* ppidl)
{
    WINSIM_CALL("IShellLinkW::GetIDList", ppidl);
    if (!ppidl)
        return E_POINTER;
    *ppidl = nullptr;
    if (m_file.idList.isEmpty())
        return S_FALSE;
    // Stored with its terminating zero item.
    auto* copy = static_cast<PIDLIST_ABSOLUTE>(CoTaskMemAlloc(static_cast<SIZE_T>(m_file.idList.size())));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, m_file.idList.constData(), static_cast<size_t>(m_file.idList.size()));
    *ppidl = copy;
    return S_OK;
}

HRESULT ShellLink::SetIDList(PCIDLIST_ABSOLUTE pidl)
{
    WINSIM_CALL("IShellLinkW::SetIDList");
    if (!pidl)
        return E_INVALIDARG;
    // Walk the items to the terminating zero-sized one.
    const auto* bytes = reinterpret_cast<const uint8_t*>(pidl);
    size_t length = 0;
    for (;;) {
        uint16_t cb = 0;
        std::memcpy(&cb, bytes + length, 2);
        length += cb ? cb : 2;
        if (!cb)
            break;
        if (length > 0xFFFF)
            return E_INVALIDARG;
    }
    m_file.idList = QByteArray(reinterpret_cast<const char*>(bytes), static_cast<int>(length));
    m_file.linkInfo.clear();
    m_file.targetPath.clear(); // the simulation does not resolve id lists to paths
    m_dirty = true;
    return S_OK;
}

HRESULT ShellLink::GetDescription(LPWSTR pszName, int cch)
{
    WINSIM_CALL("IShellLinkW::GetDescription");
    return copyOut(m_file.name, pszName, cch);
}

HRESULT ShellLink::SetDescription(LPCWSTR pszName)
{
    WINSIM_CALL("IShellLinkW::SetDescription");
    return setField(&m_file.name, pszName);
}

HRESULT ShellLink::GetWorkingDirectory(LPWSTR pszDir, int cch)
{
    WINSIM_CALL("IShellLinkW::GetWorkingDirectory");
    return copyOut(m_file.workingDir, pszDir, cch);
}

HRESULT ShellLink::SetWorkingDirectory(LPCWSTR pszDir)
{
    WINSIM_CALL("IShellLinkW::SetWorkingDirectory");
    return setField(&m_file.workingDir, pszDir);
}

HRESULT ShellLink::GetArguments(LPWSTR pszArgs, int cch)
{
    WINSIM_CALL("IShellLinkW::GetArguments");
    return copyOut(m_file.arguments, pszArgs, cch);
}

HRESULT ShellLink::SetArguments(LPCWSTR pszArgs)
{
    WINSIM_CALL("IShellLinkW::SetArguments");
    return setField(&m_file.arguments, pszArgs);
}

HRESULT ShellLink::GetHotkey(WORD* pwHotkey)
{
    WINSIM_CALL("IShellLinkW::GetHotkey", pwHotkey);
    if (!pwHotkey)
        return E_POINTER;
    *pwHotkey = m_file.hotKey;
    return S_OK;
}

HRESULT ShellLink::SetHotkey(WORD wHotkey)
{
    WINSIM_CALL("IShellLinkW::SetHotkey");
    m_file.hotKey = wHotkey;
    m_dirty = true;
    return S_OK;
}

HRESULT ShellLink::GetShowCmd(int* piShowCmd)
{
    WINSIM_CALL("IShellLinkW::GetShowCmd", piShowCmd);
    if (!piShowCmd)
        return E_POINTER;
    *piShowCmd = static_cast<int>(m_file.showCommand);
    return S_OK;
}

HRESULT ShellLink::SetShowCmd(int iShowCmd)
{
    WINSIM_CALL("IShellLinkW::SetShowCmd");
    m_file.showCommand = static_cast<uint32_t>(iShowCmd);
    m_dirty = true;
    return S_OK;
}

HRESULT ShellLink::GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon)
{
    WINSIM_CALL("IShellLinkW::GetIconLocation", piIcon);
    if (!piIcon)
        return E_POINTER;
    *piIcon = m_file.iconIndex;
    return copyOut(m_file.iconLocation, pszIconPath, cch);
}

HRESULT ShellLink::SetIconLocation(LPCWSTR pszIconPath, int iIcon)
{
    WINSIM_CALL("IShellLinkW::SetIconLocation");
    const HRESULT hr = setField(&m_file.iconLocation, pszIconPath);
    if (SUCCEEDED(hr))
        m_file.iconIndex = iIcon;
    return hr;
}

HRESULT ShellLink::SetRelativePath(LPCWSTR pszPathRel, DWORD)
{
    WINSIM_CALL("IShellLinkW::SetRelativePath");
    return setField(&m_file.relativePath, pszPathRel);
}

HRESULT ShellLink::Resolve(HWND, DWORD)
{
    WINSIM_CALL("IShellLinkW::Resolve");
    return S_OK; // targets are not searched for
}

HRESULT ShellLink::SetPath(LPCWSTR pszFile)
{
    WINSIM_CALL("IShellLinkW::SetPath");
    if (!pszFile)
        return E_INVALIDARG;
    m_file.targetPath = fromWide(pszFile);
    m_file.idList.clear();   // both described the old target
    m_file.linkInfo.clear();
    m_dirty = true;
    return S_OK;
}

HRESULT ShellLink::GetClassID(CLSID* pClassID)
{
    WINSIM_CALL("IPersist::GetClassID", pClassID);
    if (!pClassID)
        return E_POINTER;
    *pClassID = CLSID_ShellLink;
    return S_OK;
}

HRESULT ShellLink::IsDirty()
{
    WINSIM_CALL("IPersistFile::IsDirty");
    return m_dirty ? S_OK : S_FALSE;
}

HRESULT ShellLink::Load(LPCWSTR pszFileName, DWORD)
{
    WINSIM_CALL("IPersistFile::Load");
    if (!pszFileName)
        return E_INVALIDARG;
    const QString path = fromWide(pszFileName);
    if (path.isEmpty())
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    QFile file(path);
    if (!file.exists())
        return HRESULT_FROM_WIN32(QFileInfo(path).dir().exists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    if (!file.open(QIODevice::ReadOnly))
        return E_ACCESSDENIED;
    ShellLinkFile loaded;
    QString error;
    if (!ShellLinkFile::parse(file.readAll(), &loaded, &error)) {
        qWarning("winsim: %s is not a shortcut: %s", qPrintable(path), qPrintable(error));
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    m_file = loaded;
    m_pending = m_file.properties;
    m_currentFile = path;
    m_dirty = false;
    return S_OK;
}

HRESULT ShellLink::Save(LPCWSTR pszFileName, BOOL fRemember)
{
    WINSIM_CALL("IPersistFile::Save");
    const QString path = pszFileName ? fromWide(pszFileName) : m_currentFile;
    if (path.isEmpty())
        return E_INVALIDARG;
    if (!QFileInfo(path).dir().exists())
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return E_ACCESSDENIED;
    const QByteArray data = m_file.serialize();
    if (file.write(data) != data.size() || !file.commit())
        return E_ACCESSDENIED;
    if (fRemember) {
        m_currentFile = path;
        m_dirty = false;
    }
    return S_OK;
}

HRESULT ShellLink::SaveCompleted(LPCWSTR)
{
    WINSIM_CALL("IPersistFile::SaveCompleted");
    return S_OK;
}

HRESULT ShellLink::GetCurFile(LPWSTR* ppszFileName)
{
    WINSIM_CALL("IPersistFile::GetCurFile", ppszFileName);
    if (!ppszFileName)
        return E_POINTER;
    *ppszFileName = nullptr;
    const std::wstring wide = m_currentFile.toStdWString();
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    *ppszFileName = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*ppszFileName)
        return E_OUTOFMEMORY;
    std::memcpy(*ppszFileName, wide.c_str(), bytes);
    return m_currentFile.isEmpty() ? S_FALSE : S_OK;
}

HRESULT ShellLink::GetCount(DWORD* cProps)
{
    WINSIM_CALL("IPropertyStore::GetCount", cProps);
    if (!cProps)
        return E_POINTER;
    *cProps = static_cast<DWORD>(allProperties(m_pending).size());
    return S_OK;
}

HRESULT ShellLink::GetAt(DWORD iProp, PROPERTYKEY* pkey)
{
    WINSIM_CALL("IPropertyStore::GetAt", pkey);
    if (!pkey)
        return E_POINTER;
    const QVector<PropertyRef> refs = allProperties(m_pending);
    if (iProp >= static_cast<DWORD>(refs.size()))
        return E_INVALIDARG;
    const PropertyRef ref = refs.at(static_cast<int>(iProp));
    pkey->fmtid = m_pending.at(ref.storage).formatId;
    pkey->pid = m_pending.at(ref.storage).values.at(ref.value).id;
    return S_OK;
}

HRESULT ShellLink::GetValue(REFPROPERTYKEY key, PROPVARIANT* pv)
{
    WINSIM_CALL("IPropertyStore::GetValue", pv);
    if (!pv)
        return E_POINTER;
    std::memset(pv, 0, sizeof(*pv));
    const PropertyRef ref = findProperty(m_pending, key);
    if (ref.storage < 0)
        return S_OK; // absent: VT_EMPTY
    return toPropVariant(m_pending.at(ref.storage).values.at(ref.value).typedValue, pv);
}

HRESULT ShellLink::SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar)
{
    WINSIM_CALL("IPropertyStore::SetValue");
    const PropertyRef ref = findProperty(m_pending, key);
    if (propvar.vt == VT_EMPTY) {
        if (ref.storage >= 0)
            m_pending[ref.storage].values.remove(ref.value);
        return S_OK;
    }
    QByteArray typedValue;
    if (!toTypedValue(propvar, &typedValue))
        return E_INVALIDARG;
    if (ref.storage >= 0) {
        m_pending[ref.storage].values[ref.value].typedValue = typedValue;
        return S_OK;
    }
    SerializedProperty property;
    property.id = key.pid;
    property.typedValue = typedValue;
    for (PropertyStorage& storage : m_pending) {
        if (!storage.stringNamed && storage.formatId == key.fmtid) {
            storage.values.append(property);
            return S_OK;
        }
    }
    PropertyStorage storage;
    storage.formatId = key.fmtid;
    storage.values.append(property);
    m_pending.append(storage);
    return S_OK;
}

HRESULT ShellLink::Commit()
{
    WINSIM_CALL("IPropertyStore::Commit");
    QVector<PropertyStorage> kept;
    for (const PropertyStorage& storage : m_pending) {
        if (storage.stringNamed || !storage.values.isEmpty())
            kept.append(storage);
    }
    m_file.properties = kept;
    m_dirty = true;
    return S_OK;
}

Microsoft::WRL::ComPtr<IUnknown> makeShellLink()
{
    Microsoft::WRL::ComPtr<ShellLink> link = Microsoft::WRL::Make<ShellLink>();
    return Microsoft::WRL::ComPtr<IUnknown>(static_cast<IShellLinkW*>(link.Get()));
}

} // namespace winsim
