// The shell link object (CLSID_ShellLink): a shortcut file read and written
// through IPersistFile, its fields through IShellLinkW and its properties
// through IPropertyStore.
#pragma once

#include "shelllinkfile_p.h"
#include "simobject_p.h"

#include <objidl.h>
#include <propsys.h>
#include <shobjidl.h>

namespace winsim {

class ShellLink : public SimObject<IShellLinkW, IPersistFile, IPropertyStore>
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

    // IShellLinkW
    HRESULT STDMETHODCALLTYPE GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD fFlags) override;
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* ppidl) override;
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE pidl) override;
    HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR pszName, int cch) override;
    HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR pszName) override;
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR pszDir, int cch) override;
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR pszDir) override;
    HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR pszArgs, int cch) override;
    HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR pszArgs) override;
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD* pwHotkey) override;
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD wHotkey) override;
    HRESULT STDMETHODCALLTYPE GetShowCmd(int* piShowCmd) override;
    HRESULT STDMETHODCALLTYPE SetShowCmd(int iShowCmd) override;
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon) override;
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR pszIconPath, int iIcon) override;
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR pszPathRel, DWORD dwReserved) override;
    HRESULT STDMETHODCALLTYPE Resolve(HWND hwnd, DWORD fFlags) override;
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR pszFile) override;

    // IPersistFile
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPCWSTR pszFileName, DWORD dwMode) override;
    HRESULT STDMETHODCALLTYPE Save(LPCWSTR pszFileName, BOOL fRemember) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCWSTR pszFileName) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPWSTR* ppszFileName) override;

    // IPropertyStore: changes reach the shortcut's data at Commit.
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* cProps) override;
    HRESULT STDMETHODCALLTYPE GetAt(DWORD iProp, PROPERTYKEY* pkey) override;
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) override;
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) override;
    HRESULT STDMETHODCALLTYPE Commit() override;

private:
    HRESULT setField(QString* field, LPCWSTR value);

    ShellLinkFile m_file;
    QVector<PropertyStorage> m_pending; // the property store's view, committed into m_file
    QString m_currentFile;
    bool m_dirty = false;
};

// A new shell link object (CLSID_ShellLink), empty, with one reference.
Microsoft::WRL::ComPtr<IUnknown> makeShellLink();

} // namespace winsim
