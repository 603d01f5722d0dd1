#include "systemtoastwinimpl.h"

#include "activationfactory.h"
#include "systemtoastnotify.h"
#include "toastconfigkeys.h"
#include "toastdata.h"
#include "toastlog.h"
#include "toastmodulecontext.h"
#include "toastrequestkey.h"
#include "toastxmlbuilders_p.h"
#include "winrtlibrary.h"

#include <combaseapi.h>
#include <objidl.h>
#include <propkey.h>
#include <propvarutil.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using ABI::Windows::UI::Notifications::IToastNotification;
using ABI::Windows::UI::Notifications::IToastNotificationFactory;
using ABI::Windows::UI::Notifications::IToastNotificationManagerStatics;
using ABI::Windows::UI::Notifications::IToastNotifier;

namespace {

const QString k_initPlace = QStringLiteral("SystemToastWinImpl::init");
const QString k_showPlace = QStringLiteral("SystemToastWinImpl::showToast");
const QString k_hidePlace = QStringLiteral("SystemToastWinImpl::hideToast");
const QString k_aumiPlace = QStringLiteral("SystemToastWinImpl::getUsefulAppUserModelId");
const QString k_lnkPlace = QStringLiteral("SystemToastWinImpl::updateLnk");

// A failed call inside a group of calls (a loop body, the shortcut's property
// edits) is logged under its own text and once more under "hResult".
bool checkFailedInGroup(const QString& where, qint32 hr)
{
    if (!checkFailed(where, hr))
        return false;
    logCall(QStringLiteral("hResult"), errorResultText(hr));
    return true;
}

// "end id = %1" closes showToast on every path, after any error line.
class ShowExit
{
public:
    explicit ShowExit(const quint64& id) : m_id(id) {}
    ~ShowExit() { logCall(k_showPlace, QStringLiteral("end id = %1").arg(m_id)); }
    ShowExit(const ShowExit&) = delete;
    ShowExit& operator=(const ShowExit&) = delete;

private:
    const quint64& m_id;
};

class LnkExit
{
public:
    LnkExit() = default;
    ~LnkExit() { logCall(k_lnkPlace, QStringLiteral("end")); }
    LnkExit(const LnkExit&) = delete;
    LnkExit& operator=(const LnkExit&) = delete;
};

// The property value owns task memory on some paths; it is freed on all of them.
class PropVariantHolder
{
public:
    PropVariantHolder() { PropVariantInit(&value); }
    ~PropVariantHolder() { PropVariantClear(&value); }
    PropVariantHolder(const PropVariantHolder&) = delete;
    PropVariantHolder& operator=(const PropVariantHolder&) = delete;

    PROPVARIANT value;
};

// The notification server reads the toast's images: a FIFO or a device named
// as one would block it, and every toast after it. Such a path is left out as
// if none were given; a missing file still goes to the platform as it is.
QMap<int, QVariant> withoutSpecialFiles(const QMap<int, QVariant>& request)
{
    QMap<int, QVariant> checked = request;
    for (const int key : {int(ToastKeyImagePath), int(ToastKeyHeroImagePath)}) {
        const QString path = request.value(key).toString();
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists() || info.isFile())
            continue;
        logCall(k_showPlace, QStringLiteral("not a regular file, no image:%1").arg(path));
        checked.remove(key);
    }
    return checked;
}

} // namespace

SystemToastWinImpl::SystemToastWinImpl() = default;

// Members go in reverse order: the manager, then every toast object, then the id.
// Toasts still on screen are neither hidden nor unsubscribed.
SystemToastWinImpl::~SystemToastWinImpl() = default;

bool SystemToastWinImpl::init(const QVariantMap& config)
{
    logCall(k_initPlace, QStringLiteral("init"));
    if (m_initialised)
        return true;
    m_appUserModelId = getUsefulAppUserModelId(config.value(QStringLiteral(TOAST_CONFIG_APP_USER_MODEL_ID)).toString());
    updateLnk(config);
    m_notifyManager = nullptr;
    const HRESULT hr = getActivationFactory<IToastNotificationManagerStatics>(RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &m_notifyManager);
    checkFailed(QStringLiteral("getActivationFactory<IToastNotificationManagerStatics>( RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &m_notifyManager)"), hr, m_notifyManager.Get());
    return true;
}

quint64 SystemToastWinImpl::showToast(const QMap<int, QVariant>& request,
                                      const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    quint64 id = 0;
    logCall(k_showPlace, QStringLiteral("begin"));
    ShowExit exit(id);
    if (!m_notifyManager) {
        logCall(k_showPlace, QStringLiteral("notifymanager is null"));
        return id;
    }
    ToastData data;
    if (!data.parse(withoutSpecialFiles(request))) {
        logCall(k_showPlace, QStringLiteral("parse data failed"));
        return id;
    }
    for (const QString& dropped : data.droppedJson())
        logCall(k_showPlace, QStringLiteral("skip ") + dropped);
    ComPtr<IToastNotifier> notifier;
    HRESULT hr = m_notifyManager->CreateToastNotifierWithId(HstringWrapper(m_appUserModelId, false).get(), &notifier);
    if (checkFailed(QStringLiteral("m_notifyManager->CreateToastNotifierWithId(HstringWrapper(m_appUserModelId, false).get(), &notifier)"), hr, notifier.Get()))
        return id;
    ComPtr<IXmlDocument> xmlDocument;
    hr = m_notifyManager->GetTemplateContent(toTemplateType(data.tostType()), &xmlDocument);
    if (checkFailed(QStringLiteral("m_notifyManager->GetTemplateContent(toTemplateType(data.tostType()), &xmlDocument)"), hr, xmlDocument.Get()))
        return id;
    if (isImageTemplate(data.tostType()) && !data.heroImagePath().isEmpty()) {
        logCall(k_showPlace, QStringLiteral("is toast generic"));
        hr = setBindToastGeneric(xmlDocument.Get());
        if (checkFailed(QStringLiteral("setBindToastGeneric(xmlDocument.Get())"), hr))
            return id;
    }
    const int count = textFieldCount(data.tostType());
    if (count == 0) {
        logCall(k_showPlace, QStringLiteral("field count no equal to toast type"));
        return id;
    }
    for (int i = 0; i < count; ++i) {
        // A missing or empty line keeps the template's empty text element.
        if (data.textField(i).isEmpty())
            continue;
        hr = setTextField(xmlDocument.Get(), data.textField(i), i);
        if (checkFailedInGroup(QStringLiteral("setTextField(xmlDocument.Get(), data.textField(i), i)"), hr))
            return id;
    }
    logCall(k_showPlace, QStringLiteral("is support modern feature"));
    if (!data.attributionText().isEmpty()) {
        logCall(k_showPlace, QStringLiteral("set attribute"));
        hr = setAttributionTextField(xmlDocument.Get(), data.attributionText());
        if (checkFailed(QStringLiteral("setAttributionTextField(xmlDocument.Get(), data.attributionText())"), hr))
            return id;
    }
    const QList<ToastAction> actions = data.actions();
    for (int i = 0; i < actions.size(); ++i) {
        hr = addAction(xmlDocument.Get(), actions[i].text, actions[i].action);
        if (checkFailedInGroup(QStringLiteral("addAction(xmlDocument.Get(), actions[i].text, actions[i].action)"), hr))
            return id;
    }
    hr = setAudioField(xmlDocument.Get(), data.audioPath(), data.audioType());
    if (checkFailed(QStringLiteral("setAudioField(xmlDocument.Get(), data.audioPath(), data.audioType())"), hr))
        return id;
    hr = addDuration(xmlDocument.Get(), data.durationType());
    if (checkFailed(QStringLiteral("addDuration(xmlDocument.Get(), data.durationType())"), hr))
        return id;
    hr = setImageField(xmlDocument.Get(), data);
    if (checkFailed(QStringLiteral("setImageField(xmlDocument.Get(), data)"), hr))
        return id;
    hr = setHeroImage(xmlDocument.Get(), data);
    if (checkFailed(QStringLiteral("setHeroImage(xmlDocument.Get(), data)"), hr))
        return id;
    ComPtr<IToastNotificationFactory> notificationFactory;
    hr = getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification, &notificationFactory);
    if (checkFailed(QStringLiteral("getActivationFactory<IToastNotificationFactory>( RuntimeClass_Windows_UI_Notifications_ToastNotification, &notificationFactory)"), hr, notificationFactory.Get()))
        return id;
    ComPtr<IToastNotification> notification;
    hr = notificationFactory->CreateToastNotification(xmlDocument.Get(), &notification);
    if (checkFailed(QStringLiteral("notificationFactory->CreateToastNotification(xmlDocument.Get(), &notification)"), hr, notification.Get()))
        return id;

    id = ToastModuleContext::instance()->nextToastId();
    std::shared_ptr<SystemToastNotify> toastNotify = SystemToastNotify::create(id, listener);
    toastNotify->setActions(actions);
    if (!toastNotify->attach(notification.Get(), data.expiration())) {
        logCall(k_showPlace, QStringLiteral("attach notify failed"));
        return id;
    }
    m_toastNotifies.insert(id, toastNotify);
    hr = notifier->Show(notification.Get());
    if (checkFailed(QStringLiteral("notifier->Show(notification.Get())"), hr))
        return id;
    return id;
}

bool SystemToastWinImpl::updateToast(quint64 id, const QMap<int, QVariant>& request)
{
    Q_UNUSED(id)
    Q_UNUSED(request)
    return false;
}

bool SystemToastWinImpl::hideToast(quint64 id)
{
    const auto found = m_toastNotifies.constFind(id);
    if (found == m_toastNotifies.constEnd()) {
        logCall(k_hidePlace, QStringLiteral("not find id:%1").arg(id));
        return false;
    }
    std::shared_ptr<SystemToastNotify> toastNotify = found.value();
    if (!toastNotify) {
        logCall(k_hidePlace, QStringLiteral("toastNotify is null"));
        return false;
    }
    // A repeated init may have lost the manager while older toasts stay stored.
    if (!m_notifyManager) {
        logCall(k_hidePlace, QStringLiteral("notifymanager is null"));
        return false;
    }
    ComPtr<IToastNotifier> notifier;
    const HRESULT hr = m_notifyManager->CreateToastNotifierWithId(HstringWrapper(m_appUserModelId, false).get(), &notifier);
    if (FAILED(hr) || !notifier) {
        logCall(k_hidePlace, QStringLiteral("create notifier failed hr = %1").arg(qint32(stopResult(hr))));
        return false;
    }
    if (ComPtr<IToastNotification> notification = toastNotify->notification())
        notifier->Hide(notification.Get());
    // Last: the listener hears the dismissal inside and may delete this service.
    toastNotify->detach();
    return true;
}

bool SystemToastWinImpl::isToastExist(quint64 id)
{
    return m_toastNotifies.contains(id);
}

QString SystemToastWinImpl::getUsefulAppUserModelId(const QString& configuredId)
{
    logCall(k_aumiPlace, QStringLiteral("default Aumi:%1").arg(configuredId));
    if (!configuredId.isEmpty())
        return configuredId;
    auto getAppUserModelIDFun = reinterpret_cast<decltype(&GetCurrentProcessExplicitAppUserModelID)>(
        resolveShell32Function("GetCurrentProcessExplicitAppUserModelID"));
    if (!getAppUserModelIDFun) {
        logCall(k_aumiPlace, QStringLiteral("get getAppUserModelIDFun failed"));
        return QString();
    }
    PWSTR processId = nullptr;
    getAppUserModelIDFun(&processId);
    if (!processId)
        return QString();
    const QString id = QString::fromWCharArray(processId);
    CoTaskMemFree(processId);
    logCall(k_aumiPlace, QStringLiteral("get model id : %1").arg(id));
    return id;
}

void SystemToastWinImpl::updateLnk(const QVariantMap& config)
{
    logCall(k_lnkPlace, QStringLiteral("begin"));
    LnkExit exit;
    auto propVariantToStringFun = reinterpret_cast<decltype(&PropVariantToString)>(resolvePropsysFunction("PropVariantToString"));
    if (!propVariantToStringFun) {
        logCall(k_lnkPlace, QStringLiteral("get PropVariantToStringFun failed"));
        return;
    }
    QString lnk = config.value(QStringLiteral(TOAST_CONFIG_START_MENU_LNK_PATH)).toString();
    logCall(k_lnkPlace, QStringLiteral("default lnk:%1").arg(lnk));
    if (lnk.isEmpty() || !QFileInfo::exists(lnk)) {
        logCall(k_lnkPlace, QStringLiteral("is wrong lnk"));
        const QString appName = config.value(QStringLiteral(TOAST_CONFIG_APP_NAME)).toString();
        if (!appName.isEmpty()) {
            logCall(k_lnkPlace, QStringLiteral("appName:%1").arg(appName));
            const QString fileName = appName + QStringLiteral(".lnk");
            lnk = QDir(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)).filePath(fileName);
            if (!QFileInfo::exists(lnk)) {
                wchar_t startMenuPath[MAX_PATH] = {};
                const HRESULT hr = SHGetFolderPathW(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, startMenuPath);
                if (checkFailed(QStringLiteral("SHGetFolderPathW(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, startMenuPath)"), hr))
                    return;
                lnk = QDir(QString::fromWCharArray(startMenuPath)).filePath(fileName);
            }
        }
    }
    logCall(k_lnkPlace, QStringLiteral("last lnk:%1").arg(lnk));

    // Declared in this order so that they are released store, file, link.
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> persistFile;
    ComPtr<IPropertyStore> propertyStore;
    PropVariantHolder appIdPropVar;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink));
    if (checkFailed(QStringLiteral("CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(**(&shellLink)), IID_PPV_ARGS_Helper(&shellLink))"), hr))
        return;
    if (checkFailed(QStringLiteral("CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))"), hr, shellLink.Get()))
        return;
    hr = shellLink.As(&persistFile);
    if (checkFailed(QStringLiteral("shellLink.As(&persistFile)"), hr, persistFile.Get()))
        return;
    hr = persistFile->Load(lnk.toStdWString().c_str(), STGM_READWRITE);
    if (checkFailed(QStringLiteral("persistFile->Load(lnk.toStdWString().c_str(), STGM_READWRITE)"), hr))
        return;
    hr = shellLink.As(&propertyStore);
    if (checkFailed(QStringLiteral("shellLink.As(&propertyStore)"), hr, propertyStore.Get()))
        return;
    hr = propertyStore->GetValue(PKEY_AppUserModel_ID, &appIdPropVar.value);
    if (checkFailed(QStringLiteral("propertyStore->GetValue(PKEY_AppUserModel_ID, &appIdPropVar)"), hr))
        return;
    wchar_t buffer[MAX_PATH] = {};
    // An absent property converts to an empty text: no usable id either.
    if (SUCCEEDED(propVariantToStringFun(appIdPropVar.value, buffer, MAX_PATH)) && buffer[0] != L'\0') {
        const QString lnkId = QString::fromWCharArray(buffer);
        if (lnkId != m_appUserModelId) {
            logCall(k_lnkPlace, QStringLiteral("app model id not equal %1:%2").arg(m_appUserModelId, lnkId));
            m_appUserModelId = lnkId;
        }
        return;
    }
    logCall(k_lnkPlace, QStringLiteral("app model id don't exist"));
    // Nor has the service one: an empty id would only spoil the user's shortcut.
    if (m_appUserModelId.isEmpty()) {
        logCall(k_lnkPlace, QStringLiteral("no app model id to write"));
        return;
    }
    PropVariantClear(&appIdPropVar.value);
    hr = InitPropVariantFromString(m_appUserModelId.toStdWString().c_str(), &appIdPropVar.value);
    if (checkFailed(QStringLiteral("InitPropVariantFromString(m_appUserModelId.toStdWString().c_str(), &appIdPropVar)"), hr))
        return;
    hr = propertyStore->SetValue(PKEY_AppUserModel_ID, appIdPropVar.value);
    if (checkFailedInGroup(QStringLiteral("propertyStore->SetValue(PKEY_AppUserModel_ID, appIdPropVar)"), hr))
        return;
    hr = propertyStore->Commit();
    if (checkFailedInGroup(QStringLiteral("propertyStore->Commit()"), hr))
        return;
    if (FAILED(persistFile->IsDirty()))
        return; // nothing known to save
    hr = persistFile->Save(lnk.toStdWString().c_str(), TRUE);
    if (checkFailedInGroup(QStringLiteral("persistFile->Save(lnk.toStdWString().c_str(), TRUE)"), hr))
        return;
}
