// The eight legacy toast templates. Windows hands them out without an XML
// declaration or version attribute, with an empty image source and empty texts.
#include "toasttemplates_p.h"

namespace winsim {

namespace {

struct TemplateShape
{
    const char* name;
    bool image;
    int texts;
};

// Indexed by ToastTemplateType: the four image-and-text layouts come first.
constexpr TemplateShape k_templates[] = {
    {"ToastImageAndText01", true, 1},
    {"ToastImageAndText02", true, 2},
    {"ToastImageAndText03", true, 2},
    {"ToastImageAndText04", true, 3},
    {"ToastText01", false, 1},
    {"ToastText02", false, 2},
    {"ToastText03", false, 2},
    {"ToastText04", false, 3},
};

} // namespace

QString toastTemplateXml(int templateType)
{
    if (templateType < 0 || templateType >= static_cast<int>(sizeof(k_templates) / sizeof(k_templates[0])))
        return QString();
    const TemplateShape& shape = k_templates[templateType];
    QString xml = QStringLiteral("<toast><visual><binding template=\"%1\">").arg(QLatin1String(shape.name));
    if (shape.image)
        xml += QLatin1String("<image id=\"1\" src=\"\"/>");
    for (int i = 1; i <= shape.texts; ++i)
        xml += QStringLiteral("<text id=\"%1\"></text>").arg(i);
    xml += QLatin1String("</binding></visual></toast>");
    return xml;
}

} // namespace winsim
