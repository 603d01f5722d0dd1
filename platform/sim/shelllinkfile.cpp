#include "shelllinkfile_p.h"

#include <QtEndian>

#include <cstring>

namespace winsim {

namespace {

constexpr uint32_t k_headerSize = 0x4C;
constexpr GUID k_linkClsid = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID k_stringNamedFormat = {0xD5CDD505, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}};
constexpr uint32_t k_propertyStoreSignature = 0xA0000009;
constexpr uint32_t k_storageVersion = 0x53505331; // "1SPS"
constexpr uint16_t k_vtLpwstr = 0x001F;

enum LinkFlag : uint32_t {
    HasLinkTargetIDList = 0x00000001,
    HasLinkInfo = 0x00000002,
    HasName = 0x00000004,
    HasRelativePath = 0x00000008,
    HasWorkingDir = 0x00000010,
    HasArguments = 0x00000020,
    HasIconLocation = 0x00000040,
    IsUnicode = 0x00000080,
    ForceNoLinkInfo = 0x00000100,
};
constexpr uint32_t k_flagsWeSet = HasLinkTargetIDList | HasLinkInfo | HasName | HasRelativePath | HasWorkingDir
    | HasArguments | HasIconLocation | IsUnicode;

// Little-endian reads that fail instead of running past the end.
class Reader
{
public:
    explicit Reader(const QByteArray& data) : m_data(data) {}

    bool ok() const { return m_ok; }
    int position() const { return m_pos; }
    int remaining() const { return m_data.size() - m_pos; }

    template <class T>
    T read()
    {
        if (!need(sizeof(T)))
            return T{};
        const T value = qFromLittleEndian<T>(m_data.constData() + m_pos);
        m_pos += static_cast<int>(sizeof(T));
        return value;
    }
    QByteArray bytes(int count)
    {
        if (count < 0 || !need(static_cast<size_t>(count)))
            return QByteArray();
        const QByteArray out = m_data.mid(m_pos, count);
        m_pos += count;
        return out;
    }
    GUID guid()
    {
        GUID g = {};
        g.Data1 = read<uint32_t>();
        g.Data2 = read<uint16_t>();
        g.Data3 = read<uint16_t>();
        const QByteArray tail = bytes(8);
        if (tail.size() == 8)
            std::memcpy(g.Data4, tail.constData(), 8);
        return g;
    }
    QString utf16(int characters)
    {
        const QByteArray raw = bytes(characters * 2);
        QString text;
        for (int i = 0; i + 1 < raw.size(); i += 2)
            text.append(QChar(qFromLittleEndian<quint16>(raw.constData() + i)));
        return text;
    }
    void fail() { m_ok = false; }

private:
    bool need(size_t count)
    {
        if (!m_ok || static_cast<size_t>(remaining()) < count) {
            m_ok = false;
            return false;
        }
        return true;
    }

    QByteArray m_data; // shared, not copied; a reference could outlive a temporary
    int m_pos = 0;
    bool m_ok = true;
};

class Writer
{
public:
    template <class T>
    void write(T value)
    {
        char buffer[sizeof(T)];
        qToLittleEndian<T>(value, buffer);
        m_data.append(buffer, static_cast<int>(sizeof(T)));
    }
    void guid(const GUID& g)
    {
        write<uint32_t>(g.Data1);
        write<uint16_t>(g.Data2);
        write<uint16_t>(g.Data3);
        m_data.append(reinterpret_cast<const char*>(g.Data4), 8);
    }
    void utf16(const QString& text)
    {
        for (const QChar c : text)
            write<uint16_t>(c.unicode());
    }
    void bytes(const QByteArray& raw) { m_data.append(raw); }
    void patch32(int at, uint32_t value) { qToLittleEndian<uint32_t>(value, m_data.data() + at); }
    int size() const { return m_data.size(); }
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

QString readNulTerminatedAnsi(const QByteArray& data, uint32_t offset)
{
    if (offset >= static_cast<uint32_t>(data.size()))
        return QString();
    const int end = data.indexOf('\0', static_cast<int>(offset));
    const int length = (end < 0 ? data.size() : end) - static_cast<int>(offset);
    return QString::fromLatin1(data.constData() + offset, length);
}

QString readNulTerminatedUtf16(const QByteArray& data, uint32_t offset)
{
    QString text;
    for (uint32_t i = offset; i + 1 < static_cast<uint32_t>(data.size()); i += 2) {
        const quint16 c = qFromLittleEndian<quint16>(data.constData() + i);
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
}

// The local path a LinkInfo structure points at; empty for network targets.
QString pathFromLinkInfo(const QByteArray& info)
{
    Reader r(info);
    r.read<uint32_t>(); // size
    const uint32_t headerSize = r.read<uint32_t>();
    const uint32_t flags = r.read<uint32_t>();
    r.read<uint32_t>(); // volume id offset
    const uint32_t localBasePath = r.read<uint32_t>();
    r.read<uint32_t>(); // network link offset
    const uint32_t suffix = r.read<uint32_t>();
    if (!r.ok() || !(flags & 0x1))
        return QString();
    if (headerSize >= 0x24) {
        const uint32_t localBasePathUnicode = r.read<uint32_t>();
        const uint32_t suffixUnicode = r.read<uint32_t>();
        if (r.ok() && localBasePathUnicode)
            return readNulTerminatedUtf16(info, localBasePathUnicode) + readNulTerminatedUtf16(info, suffixUnicode);
    }
    return readNulTerminatedAnsi(info, localBasePath) + readNulTerminatedAnsi(info, suffix);
}

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// A LinkInfo for a path on a fixed local volume.
QByteArray linkInfoForPath(const QString& path)
{
    const bool unicode = !isAscii(path);
    const uint32_t headerSize = unicode ? 0x24 : 0x1C;
    QByteArray volumeId;
    {
        Writer v;
        v.write<uint32_t>(0x11);       // size: header and an empty label
        v.write<uint32_t>(3);          // DRIVE_FIXED
        v.write<uint32_t>(0);          // serial number
        v.write<uint32_t>(0x10);       // label offset
        v.bytes(QByteArray(1, '\0'));  // empty label
        volumeId = v.data();
    }
    QByteArray ansiPath = path.toLatin1();
    ansiPath.replace('\0', '?');
    ansiPath.append('\0');
    const uint32_t volumeOffset = headerSize;
    const uint32_t localBasePathOffset = volumeOffset + static_cast<uint32_t>(volumeId.size());
    const uint32_t suffixOffset = localBasePathOffset + static_cast<uint32_t>(ansiPath.size());
    const uint32_t unicodePathOffset = suffixOffset + 1;
    const uint32_t unicodeSuffixOffset = unicodePathOffset + static_cast<uint32_t>(path.size() + 1) * 2;
    Writer w;
    w.write<uint32_t>(0); // size, patched below
    w.write<uint32_t>(headerSize);
    w.write<uint32_t>(0x1); // VolumeIDAndLocalBasePath
    w.write<uint32_t>(volumeOffset);
    w.write<uint32_t>(localBasePathOffset);
    w.write<uint32_t>(0);
    w.write<uint32_t>(suffixOffset);
    if (unicode) {
        w.write<uint32_t>(unicodePathOffset);
        w.write<uint32_t>(unicodeSuffixOffset);
    }
    w.bytes(volumeId);
    w.bytes(ansiPath);
    w.bytes(QByteArray(1, '\0')); // empty common path suffix
    if (unicode) {
        w.utf16(path);
        w.write<uint16_t>(0);
        w.write<uint16_t>(0);
    }
    Writer out;
    out.bytes(w.data());
    out.patch32(0, static_cast<uint32_t>(out.size()));
    return out.data();
}

void writeCountedString(Writer* w, const QString& text)
{
    w->write<uint16_t>(static_cast<uint16_t>(text.size()));
    w->utf16(text);
}

} // namespace

bool ShellLinkFile::parse(const QByteArray& data, ShellLinkFile* link, QString* error)
{
    *link = ShellLinkFile();
    Reader r(data);
    if (r.read<uint32_t>() != k_headerSize || r.guid() != k_linkClsid || !r.ok()) {
        *error = QStringLiteral("not a shell link: bad header");
        return false;
    }
    link->linkFlags = r.read<uint32_t>();
    link->fileAttributes = r.read<uint32_t>();
    link->creationTime = r.read<uint64_t>();
    link->accessTime = r.read<uint64_t>();
    link->writeTime = r.read<uint64_t>();
    link->fileSize = r.read<uint32_t>();
    link->iconIndex = r.read<int32_t>();
    link->showCommand = r.read<uint32_t>();
    link->hotKey = r.read<uint16_t>();
    r.bytes(10); // reserved
    if (!r.ok()) {
        *error = QStringLiteral("truncated header");
        return false;
    }
    const uint32_t flags = link->linkFlags;
    if (flags & HasLinkTargetIDList) {
        const uint16_t size = r.read<uint16_t>();
        link->idList = r.bytes(size);
        if (!r.ok()) {
            *error = QStringLiteral("truncated target id list");
            return false;
        }
    }
    if (flags & HasLinkInfo) {
        Reader peek(data.mid(r.position()));
        const uint32_t size = peek.read<uint32_t>();
        if (!peek.ok() || size < 0x1C) {
            *error = QStringLiteral("bad link info");
            return false;
        }
        link->linkInfo = r.bytes(static_cast<int>(size));
        if (!r.ok()) {
            *error = QStringLiteral("truncated link info");
            return false;
        }
        if (!(flags & ForceNoLinkInfo))
            link->targetPath = pathFromLinkInfo(link->linkInfo);
    }
    const bool unicode = flags & IsUnicode;
    auto readString = [&](uint32_t flag, QString* out) {
        if (!(flags & flag))
            return;
        const uint16_t count = r.read<uint16_t>();
        if (unicode) {
            *out = r.utf16(count);
        } else {
            const QByteArray raw = r.bytes(count);
            *out = QString::fromLatin1(raw);
        }
    };
    readString(HasName, &link->name);
    readString(HasRelativePath, &link->relativePath);
    readString(HasWorkingDir, &link->workingDir);
    readString(HasArguments, &link->arguments);
    readString(HasIconLocation, &link->iconLocation);
    if (!r.ok()) {
        *error = QStringLiteral("truncated string data");
        return false;
    }
    // Extra data: blocks until one whose size is below 4 (the terminal block).
    for (;;) {
        if (r.remaining() < 4)
            break; // some writers leave out the terminal block
        const int start = r.position();
        const uint32_t size = r.read<uint32_t>();
        if (size < 4)
            break;
        if (size < 8 || size > static_cast<uint32_t>(data.size() - start)) {
            *error = QStringLiteral("bad extra data block");
            return false;
        }
        const QByteArray block = data.mid(start, static_cast<int>(size));
        r.bytes(static_cast<int>(size) - 4);
        if (qFromLittleEndian<uint32_t>(block.constData() + 4) == k_propertyStoreSignature
            && link->propertyBlockIndex < 0) {
            if (!parsePropertyStore(block.mid(8), &link->properties, error))
                return false;
            link->propertyBlockIndex = link->extraBlocks.size();
        }
        link->extraBlocks.append(block);
    }
    return true;
}

QByteArray ShellLinkFile::serialize() const
{
    const QByteArray info = !linkInfo.isEmpty() ? linkInfo
        : targetPath.isEmpty()                  ? QByteArray()
                                                : linkInfoForPath(targetPath);
    uint32_t flags = (linkFlags & ~k_flagsWeSet) | IsUnicode;
    if (!idList.isEmpty())
        flags |= HasLinkTargetIDList;
    if (!info.isEmpty())
        flags |= HasLinkInfo;
    if (linkInfo.isEmpty() && !info.isEmpty())
        flags &= ~ForceNoLinkInfo; // made from the target just set
    if (!name.isEmpty())
        flags |= HasName;
    if (!relativePath.isEmpty())
        flags |= HasRelativePath;
    if (!workingDir.isEmpty())
        flags |= HasWorkingDir;
    if (!arguments.isEmpty())
        flags |= HasArguments;
    if (!iconLocation.isEmpty())
        flags |= HasIconLocation;

    Writer w;
    w.write<uint32_t>(k_headerSize);
    w.guid(k_linkClsid);
    w.write<uint32_t>(flags);
    w.write<uint32_t>(fileAttributes);
    w.write<uint64_t>(creationTime);
    w.write<uint64_t>(accessTime);
    w.write<uint64_t>(writeTime);
    w.write<uint32_t>(fileSize);
    w.write<int32_t>(iconIndex);
    w.write<uint32_t>(showCommand);
    w.write<uint16_t>(hotKey);
    w.bytes(QByteArray(10, '\0'));
    if (flags & HasLinkTargetIDList) {
        w.write<uint16_t>(static_cast<uint16_t>(idList.size()));
        w.bytes(idList);
    }
    w.bytes(info);
    if (flags & HasName)
        writeCountedString(&w, name);
    if (flags & HasRelativePath)
        writeCountedString(&w, relativePath);
    if (flags & HasWorkingDir)
        writeCountedString(&w, workingDir);
    if (flags & HasArguments)
        writeCountedString(&w, arguments);
    if (flags & HasIconLocation)
        writeCountedString(&w, iconLocation);

    QByteArray propertyBlock;
    if (!properties.isEmpty()) {
        const QByteArray store = serializePropertyStore(properties);
        Writer b;
        b.write<uint32_t>(static_cast<uint32_t>(8 + store.size()));
        b.write<uint32_t>(k_propertyStoreSignature);
        b.bytes(store);
        propertyBlock = b.data();
    }
    for (int i = 0; i < extraBlocks.size(); ++i) {
        if (i == propertyBlockIndex)
            w.bytes(propertyBlock);
        else
            w.bytes(extraBlocks.at(i));
    }
    if (propertyBlockIndex < 0)
        w.bytes(propertyBlock);
    w.write<uint32_t>(0); // terminal block
    return w.data();
}

bool parsePropertyStore(const QByteArray& data, QVector<PropertyStorage>* storages, QString* error)
{
    storages->clear();
    Reader r(data);
    for (;;) {
        const int start = r.position();
        const uint32_t storageSize = r.read<uint32_t>();
        if (!r.ok()) {
            *error = QStringLiteral("property store without terminator");
            return false;
        }
        if (storageSize == 0)
            return true;
        if (storageSize < 28 || storageSize > static_cast<uint32_t>(data.size() - start)) {
            *error = QStringLiteral("bad property storage size");
            return false;
        }
        PropertyStorage storage;
        if (r.read<uint32_t>() != k_storageVersion) {
            *error = QStringLiteral("bad property storage version");
            return false;
        }
        storage.formatId = r.guid();
        storage.stringNamed = storage.formatId == k_stringNamedFormat;
        const QByteArray values = r.bytes(static_cast<int>(storageSize) - 24);
        if (storage.stringNamed) {
            storage.rawValues = values;
        } else {
            Reader v(values);
            for (;;) {
                const int valueStart = v.position();
                const uint32_t valueSize = v.read<uint32_t>();
                if (!v.ok() || valueSize == 0)
                    break;
                if (valueSize < 13 || valueSize > static_cast<uint32_t>(values.size() - valueStart)) {
                    *error = QStringLiteral("bad property value size");
                    return false;
                }
                SerializedProperty property;
                property.id = v.read<uint32_t>();
                v.read<uint8_t>(); // reserved
                property.typedValue = v.bytes(static_cast<int>(valueSize) - 9);
                storage.values.append(property);
            }
        }
        storages->append(storage);
    }
}

QByteArray serializePropertyStore(const QVector<PropertyStorage>& storages)
{
    Writer w;
    for (const PropertyStorage& storage : storages) {
        const int start = w.size();
        w.write<uint32_t>(0); // size, patched below
        w.write<uint32_t>(k_storageVersion);
        w.guid(storage.formatId);
        if (storage.stringNamed) {
            w.bytes(storage.rawValues);
        } else {
            for (const SerializedProperty& property : storage.values) {
                w.write<uint32_t>(static_cast<uint32_t>(9 + property.typedValue.size()));
                w.write<uint32_t>(property.id);
                w.write<uint8_t>(0);
                w.bytes(property.typedValue);
            }
            w.write<uint32_t>(0); // end of values
        }
        w.patch32(start, static_cast<uint32_t>(w.size() - start));
    }
    w.write<uint32_t>(0); // end of storages
    return w.data();
}

QByteArray typedStringValue(const QString& text)
{
    Writer w;
    w.write<uint16_t>(k_vtLpwstr);
    w.write<uint16_t>(0);
    w.write<uint32_t>(static_cast<uint32_t>(text.size() + 1)); // characters, terminator included
    w.utf16(text);
    w.write<uint16_t>(0);
    while (w.size() % 4)
        w.write<uint8_t>(0);
    return w.data();
}

bool readTypedString(const QByteArray& typedValue, QString* text)
{
    Reader r(typedValue);
    if (r.read<uint16_t>() != k_vtLpwstr)
        return false;
    r.read<uint16_t>();
    const uint32_t count = r.read<uint32_t>();
    if (!r.ok() || count == 0 || count > static_cast<uint32_t>(r.remaining() / 2))
        return false;
    *text = r.utf16(static_cast<int>(count - 1));
    return r.ok();
}

} // namespace winsim
