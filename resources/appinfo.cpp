#include "appinfo.h"

#include <QCoreApplication>

QString ApplicationVersionText()
{
    return QStringLiteral(MARLOX_VERSION);
}

void SetApplicationVersion()
{
    QCoreApplication::setApplicationVersion(ApplicationVersionText());
}
