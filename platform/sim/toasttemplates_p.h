#pragma once

#include <windows.data.xml.dom.h>
#include <wrl/client.h>

namespace winsim {

// A new document as GetTemplateContent returns it for a ToastTemplateType
// value, as Windows writes it; null for a value that names no template.
Microsoft::WRL::ComPtr<ABI::Windows::Data::Xml::Dom::IXmlDocument> toastTemplateDocument(int templateType);

} // namespace winsim
