#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Shortcut bytes read by the tests themselves, straight from the published
// Shell Link and property store layouts, so that the simulation's own reader
// and writer are checked against something independent.
namespace shortcutbytes {

// A shortcut as a shell creates one (tests/data/shell-style.lnk): target id
// list, link info, the usual strings, a tracker block and a property store
// without an application id.
QByteArray shellStyleShortcut();
// The extra data blocks of a shortcut (size and signature included), in order.
QVector<QByteArray> extraBlocks(const QByteArray& shortcut);
// The target id list (without its size field); empty when there is none.
QByteArray idList(const QByteArray& shortcut);
// The VT_LPWSTR value of (format id, property id) in the property-store
// block; null when absent.
QString stringProperty(const QByteArray& shortcut, const QByteArray& formatId, quint32 id);

QByteArray appUserModelFormat();

} // namespace shortcutbytes
