#include "shortcutbytes.h"

#include "testdata.h"

#include <QtEndian>

namespace shortcutbytes {

namespace {

// A little-endian number of 2 or 4 bytes at an offset; 0 past the end.
quint32 get(const QByteArray& data, int at, int size = 4)
{
    if (at < 0 || at + size > data.size())
        return 0;
    const char* bytes = data.constData() + at;
    return size == 2 ? qFromLittleEndian<quint16>(bytes) : qFromLittleEndian<quint32>(bytes);
}

// Offset of the first extra data block: after header, id list, link info and strings.
int extraDataStart(const QByteArray& s)
{
    const quint32 flags = get(s, 0x14);
    int at = 0x4C;
    if (flags & 0x1)
        at += 2 + int(get(s, at, 2));
    if (flags & 0x2)
        at += int(get(s, at));
    for (quint32 bit : {0x4u, 0x8u, 0x10u, 0x20u, 0x40u}) {
        if (flags & bit)
            at += 2 + int(get(s, at, 2)) * ((flags & 0x80) ? 2 : 1);
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
    for (int at = extraDataStart(shortcut); get(shortcut, at) >= 8 && at + int(get(shortcut, at)) <= shortcut.size();
         at += blocks.last().size())
        blocks.append(shortcut.mid(at, int(get(shortcut, at))));
    return blocks;
}

QByteArray idList(const QByteArray& shortcut)
{
    return (get(shortcut, 0x14) & 0x1) ? shortcut.mid(0x4C + 2, int(get(shortcut, 0x4C, 2))) : QByteArray();
}

QString stringProperty(const QByteArray& shortcut, const QByteArray& formatId, quint32 id)
{
    for (const QByteArray& block : extraBlocks(shortcut)) {
        if (get(block, 4) != 0xA0000009)
            continue;
        // Storages: size, version, format id, then values: size, id, a reserved byte, type, and for a string its
        // length in UTF-16 units with the terminating zero.
        for (int at = 8; get(block, at) >= 24; at += int(get(block, at))) {
            if (block.mid(at + 8, 16) != formatId)
                continue;
            const int end = at + int(get(block, at));
            for (int v = at + 24; v < end && get(block, v) >= 13; v += int(get(block, v))) {
                if (get(block, v + 4) != id || get(block, v + 9, 2) != 0x1F) // VT_LPWSTR
                    continue;
                QString text;
                for (int i = 0; i + 1 < int(get(block, v + 13)); ++i)
                    text.append(QChar(get(block, v + 17 + 2 * i, 2)));
                return text;
            }
        }
    }
    return QString();
}

} // namespace shortcutbytes
