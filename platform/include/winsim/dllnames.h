// Where the stand-ins of Windows system libraries are found on this system.
// Code that loads a Windows library by name keeps the Windows file name and
// passes it through here just before handing it to the loader.
#pragma once

#include <QString>

#include "api.h"

namespace winsim {

// "combase.dll" -> "<dir>/libcombase.so" (case-insensitive, as Windows file
// names are), where <dir> is the folder libwinsim.so was loaded from: like
// Windows' system folder, it does not depend on the host's library search path.
// A library that control::setLibraryMissing marks as missing, or that is listed
// in the environment variable WINSIM_MISSING_LIBRARIES (comma-separated Windows
// names, read when the process first asks), maps to a file that does not exist.
WINSIM_API QString localLibraryFileName(const QString& windowsFileName);

} // namespace winsim
