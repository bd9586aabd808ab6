#include "main/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace rowsmith {

QString FindDataFolder(const QString& name) {
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {programDir.filePath(name), programDir.filePath("../share/rowsmith/" + name)}) {
        if (QFileInfo(candidate).isDir()) {
            return QDir::cleanPath(candidate);
        }
    }
    return QString();
}

}  // namespace rowsmith
