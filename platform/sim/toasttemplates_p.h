#pragma once

#include <QString>

namespace winsim {

// The document GetTemplateContent returns for a ToastTemplateType value, as
// Windows writes it; empty for a value that names no template.
QString toastTemplateXml(int templateType);

} // namespace winsim
