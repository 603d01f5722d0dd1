// The eight legacy toast templates. Windows hands them out without an XML
// declaration or version attribute, with an empty image source and empty texts.
#include "toasttemplates_p.h"

#include "xmldocument_p.h"
#include "xmlelement_p.h"
#include "xmlnodecore_p.h"

namespace winsim {

using ABI::Windows::Data::Xml::Dom::IXmlDocument;
using ABI::Windows::Data::Xml::Dom::IXmlNode;
using Microsoft::WRL::ComPtr;

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

ComPtr<IXmlDocument> toastTemplateDocument(int templateType)
{
    if (templateType < 0 || templateType >= static_cast<int>(sizeof(k_templates) / sizeof(k_templates[0])))
        return nullptr;
    const TemplateShape& shape = k_templates[templateType];
    ComPtr<xml::XmlDocument> document = Microsoft::WRL::Make<xml::XmlDocument>();
    // Built node by node: every toast asks for one, and writing the text only
    // to parse it again took a sixth of a toast's time in the platform.
    xml::NodeCore* root = document.Get();
    const auto append = [&](xml::NodeCore* parent, const QString& tagName) {
        ComPtr<IXmlNode> element = xml::makeElementNode(root->document(), tagName);
        ComPtr<IXmlNode> appended;
        parent->appendChild(element.Get(), &appended);
        return xml::NodeCore::of(element.Get());
    };
    xml::NodeCore* binding = append(append(append(root, QStringLiteral("toast")), QStringLiteral("visual")),
                                    QStringLiteral("binding"));
    binding->setAttributeValue(QStringLiteral("template"), QLatin1String(shape.name));
    if (shape.image) {
        xml::NodeCore* image = append(binding, QStringLiteral("image"));
        image->setAttributeValue(QStringLiteral("id"), QStringLiteral("1"));
        image->setAttributeValue(QStringLiteral("src"), QString());
    }
    for (int i = 1; i <= shape.texts; ++i) {
        xml::NodeCore* text = append(binding, QStringLiteral("text"));
        text->setAttributeValue(QStringLiteral("id"), QString::number(i));
        text->setExplicitEndTag(true); // "<text id="1"></text>", as Windows writes it
    }
    return ComPtr<IXmlDocument>(document.Get());
}

} // namespace winsim
