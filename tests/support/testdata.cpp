#include "testdata.h"

#include <QFile>

namespace testdata {

QByteArray bytes(const QString& file)
{
    QFile f(QStringLiteral(SNT_TEST_DATA_DIR "/") + file);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("test data %s is missing", qPrintable(f.fileName()));
    return f.readAll();
}

QStringList lines(const QString& file, const QString& entry)
{
    QStringList out;
    bool inside = false;
    for (const QString& line : QString::fromUtf8(bytes(file)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            if (inside)
                break;
            inside = line.mid(1, line.size() - 2) == entry;
        } else if (inside && !line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            out << line;
        }
    }
    if (!inside)
        qWarning("no entry [%s] in %s", qPrintable(entry), qPrintable(file));
    return out;
}

} // namespace testdata
