// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/resources.h"

#include <QImageReader>
#include <QtGlobal>

// Q_INIT_RESOURCE declares a function of global scope, so it must be used
// outside any namespace.
void initBrewpadResources()
{
    Q_INIT_RESOURCE(brewpad);
}

QPixmap pngPixmap(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
