// Windows Runtime strings of the simulation. A reference string's handle is
// the address of the caller's HSTRING_HEADER; an owned string is a counted
// heap record. Both start with the same header, so reading never asks which.
#pragma once

#include <hstring.h>
#include <winerror.h>

#include <QString>

#include <string>

namespace winsim {

HRESULT createString(PCWSTR source, UINT32 length, HSTRING* string);
HRESULT createStringReference(PCWSTR source, UINT32 length, HSTRING_HEADER* header, HSTRING* string);
HRESULT deleteString(HSTRING string);
HRESULT duplicateString(HSTRING string, HSTRING* copy);
PCWSTR stringRawBuffer(HSTRING string, UINT32* length);

// For the platform's own use: no fault injection, no trace.
HSTRING makeString(const QString& text);
QString toQString(HSTRING string);

} // namespace winsim
