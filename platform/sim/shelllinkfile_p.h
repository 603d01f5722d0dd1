// The Shell Link (.lnk) binary format with its property-store extra block.
// Parts the simulation does not interpret (target id list, other extra
// blocks, property storages of other kinds) are kept as read and written back
// unchanged, so editing one field of a shortcut loses none of the others.
#pragma once

#include <guiddef.h>

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

namespace winsim {

struct SerializedProperty
{
    uint32_t id = 0;
    QByteArray typedValue; // TypedPropertyValue as stored: type, padding, value
};

struct PropertyStorage
{
    GUID formatId = {};
    bool stringNamed = false;
    QByteArray rawValues;                 // string-named storages, kept as read
    QVector<SerializedProperty> values;   // integer-named storages
};

struct ShellLinkFile
{
    uint32_t linkFlags = 0; // bits of the file the simulation does not set itself are kept
    uint32_t fileAttributes = 0;
    uint64_t creationTime = 0;
    uint64_t accessTime = 0;
    uint64_t writeTime = 0;
    uint32_t fileSize = 0;
    int32_t iconIndex = 0;
    uint32_t showCommand = 1; // SW_SHOWNORMAL
    uint16_t hotKey = 0;

    QByteArray idList;   // item ids without the list's size field; empty when absent
    QByteArray linkInfo; // as read; rebuilt from targetPath when empty
    QString targetPath;

    QString name;
    QString relativePath;
    QString workingDir;
    QString arguments;
    QString iconLocation;

    // Extra data blocks in file order; the property store block is parsed
    // into `properties` and written back where it was.
    QVector<QByteArray> extraBlocks;
    int propertyBlockIndex = -1;
    QVector<PropertyStorage> properties;

    // False, with a reason, for data that is not a well-formed shortcut.
    static bool parse(const QByteArray& data, ShellLinkFile* link, QString* error);
    QByteArray serialize() const;
};

// The property-store block's content (storages and terminator) and back.
bool parsePropertyStore(const QByteArray& data, QVector<PropertyStorage>* storages, QString* error);
QByteArray serializePropertyStore(const QVector<PropertyStorage>& storages);

// TypedPropertyValue of a VT_LPWSTR string.
QByteArray typedStringValue(const QString& text);
// The string of a VT_LPWSTR TypedPropertyValue; false for other types or bad data.
bool readTypedString(const QByteArray& typedValue, QString* text);

} // namespace winsim
