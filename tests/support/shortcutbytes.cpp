#include "shortcutbytes.h"

#include "testdata.h"

#include <QtEndian>

namespace shortcutbytes {

namespace {

quint16 get16(const QByteArray& data, int at)
{
    return at + 2 <= data.size() ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

quint32 get32(const QByteArray& data, int at)
{
    return at + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

// Offset of the first extra data block: after header, id list, link info and strings.
int extraDataStart(const QByteArray& s)
{
    const quint32 flags = get32(s, 0x14);
    int at = 0x4C;
    if (flags & 0x1)
        at += 2 + get16(s, at);
    if (flags & 0x2)
        at += static_cast<int>(get32(s, at));
    for (quint32 bit : {0x4u, 0x8u, 0x10u, 0x20u, 0x40u}) {
        if (flags & bit)
            at += 2 + get16(s, at) * ((flags & 0x80) ? 2 : 1);
    }
    return at;
}

} // namespace

QByteArray appUserModelFormat()
{
    return QByteArray::fromHex("55284C9F799F394BA8D0E1D42DE1D5F3");
}

QByteArray shellStyleShortcut()
{
    return testdata::bytes(QStringLiteral("shell-style.lnk"));
}

QVector<QByteArray> extraBlocks(const QByteArray& shortcut)
{
    QVector<QByteArray> blocks;
    int at = extraDataStart(shortcut);
    for (;;) {
        const quint32 size = get32(shortcut, at);
        if (size < 8 || at + static_cast<int>(size) > shortcut.size())
            break;
        blocks.append(shortcut.mid(at, static_cast<int>(size)));
        at += static_cast<int>(size);
    }
    return blocks;
}

QByteArray idList(const QByteArray& shortcut)
{
    if (!(get32(shortcut, 0x14) & 0x1))
        return QByteArray();
    return shortcut.mid(0x4C + 2, get16(shortcut, 0x4C));
}

QString stringProperty(const QByteArray& shortcut, const QByteArray& formatId, quint32 id)
{
    for (const QByteArray& block : extraBlocks(shortcut)) {
        if (get32(block, 4) != 0xA0000009)
            continue;
        int at = 8;
        for (quint32 storageSize = get32(block, at); storageSize >= 24; storageSize = get32(block, at)) {
            const int storageEnd = at + static_cast<int>(storageSize);
            if (block.mid(at + 8, 16) == formatId) {
                int v = at + 24;
                for (quint32 valueSize = get32(block, v); valueSize >= 13 && v < storageEnd; valueSize = get32(block, v)) {
                    if (get32(block, v + 4) == id && get16(block, v + 9) == 0x1F) {
                        const quint32 count = get32(block, v + 13);
                        QString text;
                        for (quint32 i = 0; i + 1 < count; ++i)
                            text.append(QChar(get16(block, v + 17 + static_cast<int>(i) * 2)));
                        return text;
                    }
                    v += static_cast<int>(valueSize);
                }
            }
            at = storageEnd;
        }
    }
    return QString();
}

} // namespace shortcutbytes
