// libFuzzer target: any bytes become a whole toast request, every key with a
// value of any type, actions and rich lines with arbitrary JSON. The request is
// parsed, then composed into a native toast on the in-memory platform. Nothing
// may crash, throw, leak or hang.
//
// Input: records separated by NUL bytes. A record's first byte picks the key
// ('a' is key 0 ... 'r' key 17, 's' and 't' unknown keys; other bytes wrap
// around modulo 20), its second the kind of value ('0' to '7', modulo 8, see
// valueOf), the rest is the value's text; items of a list and the two numbers
// of a size are separated by 0x01. A later record of the same key replaces an
// earlier one. fuzz/toastdata.dict holds the tokens.
#include "systemtoastwinimpl.h"
#include "toastdata.h"

#include <winsim/control.h>

#include <QCoreApplication>
#include <QSize>
#include <QVersionNumber>

#include <cstddef>
#include <cstdint>

namespace {

QVariant valueOf(uint8_t kind, const QByteArray& text)
{
    const QString string = QString::fromUtf8(text);
    switch (kind % 8) {
    case 0: return string;
    case 1: return text.toLongLong();
    case 2: return text.toDouble();
    case 3: return !text.isEmpty() && text != "0";
    case 4: return string.split(QChar(0x01));
    case 5: return QVariant(QString()); // null
    case 6: {
        const QList<QByteArray> sides = text.split('\x01');
        return QSize(sides.value(0).toInt(), sides.value(1).toInt());
    }
    default: return QVariant::fromValue(text.toULongLong()); // above every int
    }
}

QMap<int, QVariant> requestOf(const uint8_t* bytes, size_t size)
{
    QMap<int, QVariant> request;
    const QByteArray all(reinterpret_cast<const char*>(bytes), int(size));
    for (const QByteArray& record : all.split('\0')) {
        if (record.size() < 2)
            continue;
        request.insert(uint8_t(record.at(0) - 'a') % 20, valueOf(uint8_t(record.at(1) - '0'), record.mid(2)));
    }
    return request;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    // A pinned Windows 10 keeps toasts in memory, off any desktop.
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QMap<int, QVariant> request = requestOf(bytes, size);

    ToastData data;
    if (data.parse(request)) {
        // Touch everything a consumer reads.
        QList<ToastTextSegment> segments;
        for (int i = -1; i <= data.textFieldCount(); ++i) {
            data.textField(i);
            data.richLine(i, segments);
        }
        for (const ToastAction& action : data.actions())
            (void)action.text.size();
    }

    // A fresh service each time: one would keep every toast it showed.
    SystemToastWinImpl service;
    service.init({{QStringLiteral("appUserModeId"), QStringLiteral("Fuzz.Toast")}});
    service.showToast(request, {});
    winsim::control::clearShownToasts();
    return 0;
}
