// libFuzzer target: any bytes become a request whose text lines and actions
// carry arbitrary JSON; parsing must never crash, leak or hang.
#include "toastdata.h"
#include "toastrequestkey.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return 0;
    // First byte: which keys carry what. The rest: NUL-separated strings.
    const uint8_t mode = bytes[0];
    const QByteArray rest(reinterpret_cast<const char*>(bytes + 1), int(size - 1));
    const QList<QByteArray> parts = rest.split('\0');

    QMap<int, QVariant> request;
    request.insert(ToastKeyType, mode & 1 ? QVariant(QString::fromUtf8(parts.value(0))) : QVariant(int(mode >> 4)));
    request.insert(ToastKeyTextFormat, (mode & 2) ? 1 : 0);
    QStringList lines;
    QStringList actions;
    for (int i = 1; i < parts.size(); ++i)
        (i % 2 ? lines : actions) << QString::fromUtf8(parts.at(i));
    request.insert(ToastKeyTextFields, (mode & 4) ? QVariant(lines.value(0)) : QVariant(lines));
    request.insert(ToastKeyActions, actions);
    if (mode & 8)
        request.insert(ToastKeyExpiration, QString::fromUtf8(parts.value(0)));

    ToastData data;
    if (!data.parse(request))
        return 0;
    // Touch everything a consumer reads.
    QList<ToastTextSegment> segments;
    for (int i = -1; i <= data.textFieldCount(); ++i) {
        data.textField(i);
        data.richLine(i, segments);
    }
    for (const ToastAction& action : data.actions())
        (void)action.text.size();
    return 0;
}
