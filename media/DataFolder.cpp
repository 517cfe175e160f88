#include "media/DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString HelpFileName = QStringLiteral("ZLVO1.html");

QString WithSeparator(const QString& folder) { return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'); }

} // namespace

QString DataFolder(const QString& programDir)
{
    if (QFileInfo(QDir(programDir).filePath(HelpFileName)).isFile())
        return WithSeparator(programDir);
    // Relative to the program, so that any install prefix and a staged copy work alike.
    const QString installed = QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(ZELVANO_DATA_FROM_PROGRAM)));
    if (QFileInfo(installed).isDir())
        return WithSeparator(installed);
    return WithSeparator(programDir);
}
