#include "winrtlibrary.h"

#include <QMap>
#include <mutex>
#include <QSharedPointer>

#ifndef Q_OS_WIN
#include <winsim/dllnames.h>
#endif

const wchar_t k_combaseDll[] = L"combase.dll";
const wchar_t k_propsysDll[] = L"propsys.dll";
const wchar_t k_shell32Dll[] = L"shell32.dll";

namespace {

struct LibraryCache
{
    // Lookups come from the GUI thread and from the platform's event threads.
    std::mutex mutex;
    QMap<QString, QSharedPointer<QLibrary>> libraries;
};

LibraryCache& libraryCache()
{
    static LibraryCache cache;
    return cache;
}

QString fileOnThisSystem(const QString& fileName)
{
#ifdef Q_OS_WIN
    return fileName;
#else
    return winsim::localLibraryFileName(fileName);
#endif
}

QFunctionPointer resolveIn(const wchar_t* library, const char* name)
{
    QLibrary* loaded = loadCachedLibrary(QString::fromStdWString(library));
    if (!loaded)
        return nullptr;
    return loaded->resolve(name);
}

} // namespace

QLibrary* loadCachedLibrary(const QString& fileName)
{
    LibraryCache& cache = libraryCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    const auto found = cache.libraries.constFind(fileName);
    if (found != cache.libraries.constEnd())
        return found.value().data();

    QSharedPointer<QLibrary> library(new QLibrary(fileOnThisSystem(fileName)));
    if (!library->load())
        return nullptr;
    cache.libraries.insert(fileName, library);
    return library.data();
}

QFunctionPointer resolveCombaseFunction(const char* name)
{
    return resolveIn(k_combaseDll, name);
}

QFunctionPointer resolvePropsysFunction(const char* name)
{
    return resolveIn(k_propsysDll, name);
}

QFunctionPointer resolveShell32Function(const char* name)
{
    return resolveIn(k_shell32Dll, name);
}
