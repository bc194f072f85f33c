#include "resources/resources.h"

#include <QFile>

// Q_INIT_RESOURCE declares a function of global scope, so it must be used
// outside any namespace.
void initBrewpadResources()
{
    Q_INIT_RESOURCE(brewpad);
}

namespace brewpad {

QString commandIconPath(int commandId)
{
    return QStringLiteral(":/icons/%1.png").arg(commandId);
}

QIcon namedIcon(const QString& name)
{
    const QString path = QStringLiteral(":/icons/%1.png").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon commandIcon(int commandId)
{
    return namedIcon(QString::number(commandId));
}

QIcon frameIcon()
{
    QIcon icon;
    for (const char* name : {"brewpad", "brewpad-32"}) {
        const QString path = QStringLiteral(":/icons/%1.png").arg(QLatin1String(name));
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return icon;
}

}  // namespace brewpad
