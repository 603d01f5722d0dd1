#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Golden documents and log transcripts kept under tests/data/.
// A text file holds entries, each a "[name]" line followed by its lines, up to
// the next entry; "#" lines and blank lines are skipped.
namespace testdata {

QByteArray bytes(const QString& file);
// The lines of an entry; an empty list when the file or entry is missing.
QStringList lines(const QString& file, const QString& entry);
// The lines of an entry joined without separator: long documents wrap freely.
inline QString text(const QString& file, const QString& entry)
{
    return lines(file, entry).join(QString());
}

} // namespace testdata
