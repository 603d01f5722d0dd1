#include "toastmodulecontext.h"

#include "umskin.h"

#include <QDateTime>

namespace {

const char k_referenceDate[] = "2017/11/05 00:00:00";

qint64 referenceSecs()
{
    return QDateTime::fromString(QString::fromLatin1(k_referenceDate), QStringLiteral("yyyy/MM/dd hh:mm:ss"))
        .toSecsSinceEpoch();
}

} // namespace

ToastModuleContext* ToastModuleContext::instance()
{
    // Never destroyed: the skin must outlive every popup, even at unload.
    static ToastModuleContext* context = new ToastModuleContext(QDateTime::currentSecsSinceEpoch());
    return context;
}

ToastModuleContext::ToastModuleContext(qint64 nowSecsSinceEpoch)
    : m_skin(new UmSkin(nullptr))
    , m_counter(seedAt(nowSecsSinceEpoch))
{
}

quint64 ToastModuleContext::seedAt(qint64 nowSecsSinceEpoch)
{
    const quint32 now = static_cast<quint32>(nowSecsSinceEpoch);
    const quint32 reference = static_cast<quint32>(referenceSecs());
    return static_cast<quint64>((now - reference) & 0x3FFFFFFFu);
}

quint64 ToastModuleContext::nextToastId()
{
    return ++m_counter;
}

UmSkin* ToastModuleContext::skin() const
{
    return m_skin;
}

void ToastModuleContext::registerRccSource(const QString& path)
{
    IUmLiteSkin* skin = m_skin;
    if (!skin->resourceRegistry())
        return;
    skin->resourceRegistry()->registerRcc(path, QString());
}
