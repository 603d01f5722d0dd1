#include "shortcutbytes.h"

#include <QtEndian>

namespace shortcutbytes {

namespace {

void put16(QByteArray* out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out->append(b, 2);
}

void put32(QByteArray* out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out->append(b, 4);
}

quint16 get16(const QByteArray& data, int at)
{
    return at + 2 <= data.size() ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

quint32 get32(const QByteArray& data, int at)
{
    return at + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

void putCounted(QByteArray* out, const QString& text)
{
    put16(out, static_cast<quint16>(text.size()));
    for (const QChar c : text)
        put16(out, c.unicode());
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

QByteArray guidBytes(quint32 d1, quint16 d2, quint16 d3, const QByteArray& d4)
{
    QByteArray out;
    put32(&out, d1);
    put16(&out, d2);
    put16(&out, d3);
    out.append(d4);
    return out;
}

QByteArray appUserModelFormat()
{
    return guidBytes(0x9F4C2855, 0x9F79, 0x4B39, QByteArray::fromHex("A8D0E1D42DE1D5F3"));
}

QByteArray shellStyleShortcut()
{
    const QString target = QStringLiteral("C:\\Program Files\\Suite\\suite.exe");
    QByteArray s;
    put32(&s, 0x4C);
    s.append(guidBytes(0x00021401, 0, 0, QByteArray::fromHex("C000000000000046")));
    put32(&s, 0x1 | 0x2 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80); // id list, link info, strings, unicode
    put32(&s, 0x20);                                         // FILE_ATTRIBUTE_ARCHIVE
    for (int i = 0; i < 3; ++i) {                            // creation, access, write time
        put32(&s, 0xD53E8000u + static_cast<quint32>(i));
        put32(&s, 0x01D7A1B2u);
    }
    put32(&s, 123456); // file size
    put32(&s, 2);      // icon index
    put32(&s, 7);      // SW_SHOWMINNOACTIVE
    put16(&s, 0x0653); // hot key
    s.append(QByteArray(10, '\0'));

    // Id list: "This PC" then drive C:.
    QByteArray items;
    put16(&items, 0x14);
    items.append(char(0x1F));
    items.append(char(0x50));
    items.append(guidBytes(0x20D04FE0, 0x3AEA, 0x1069, QByteArray::fromHex("A2D808002B30309D")));
    QByteArray drive = QByteArray("/C:\\");
    drive.append(QByteArray(25 - 2 - drive.size(), '\0'));
    put16(&items, 25);
    items.append(drive);
    put16(&items, 0); // terminal id
    put16(&s, static_cast<quint16>(items.size()));
    s.append(items);

    // Link info: a fixed volume and the local base path.
    QByteArray volume;
    put32(&volume, 0x11);
    put32(&volume, 3);
    put32(&volume, 0x1234ABCD);
    put32(&volume, 0x10);
    volume.append('\0');
    const QByteArray basePath = target.toLatin1() + '\0';
    QByteArray info;
    const quint32 size = 0x1C + static_cast<quint32>(volume.size() + basePath.size() + 1);
    put32(&info, size);
    put32(&info, 0x1C);
    put32(&info, 1);
    put32(&info, 0x1C);
    put32(&info, 0x1C + static_cast<quint32>(volume.size()));
    put32(&info, 0);
    put32(&info, 0x1C + static_cast<quint32>(volume.size() + basePath.size()));
    info.append(volume);
    info.append(basePath);
    info.append('\0');
    s.append(info);

    putCounted(&s, QStringLiteral("..\\..\\..\\Program Files\\Suite\\suite.exe"));
    putCounted(&s, QStringLiteral("C:\\Program Files\\Suite"));
    putCounted(&s, QStringLiteral("--profile \"work\""));
    putCounted(&s, QStringLiteral("C:\\Program Files\\Suite\\suite.ico"));

    // Tracker block.
    QByteArray tracker;
    put32(&tracker, 0x60);
    put32(&tracker, 0xA0000003);
    put32(&tracker, 0x58);
    put32(&tracker, 0);
    tracker.append(QByteArray("office-pc").leftJustified(16, '\0'));
    for (int i = 0; i < 64; ++i)
        tracker.append(char(i * 7));
    s.append(tracker);

    // Property store with one property of another format: System.Link.TargetParsingPath.
    QByteArray value;
    const QString parsingPath = target;
    QByteArray typed;
    put16(&typed, 0x1F);
    put16(&typed, 0);
    put32(&typed, static_cast<quint32>(parsingPath.size() + 1));
    for (const QChar c : parsingPath)
        put16(&typed, c.unicode());
    put16(&typed, 0);
    while (typed.size() % 4)
        typed.append('\0');
    put32(&value, static_cast<quint32>(9 + typed.size()));
    put32(&value, 2);
    value.append('\0');
    value.append(typed);
    QByteArray storage;
    put32(&storage, static_cast<quint32>(24 + value.size() + 4));
    put32(&storage, 0x53505331);
    storage.append(guidBytes(0xB9B4B3FC, 0x2B51, 0x4A42, QByteArray::fromHex("B5D8324146AFCF25")));
    storage.append(value);
    put32(&storage, 0);
    QByteArray propertyBlock;
    put32(&propertyBlock, static_cast<quint32>(8 + storage.size() + 4));
    put32(&propertyBlock, 0xA0000009);
    propertyBlock.append(storage);
    put32(&propertyBlock, 0);
    s.append(propertyBlock);

    put32(&s, 0); // terminal block
    return s;
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
