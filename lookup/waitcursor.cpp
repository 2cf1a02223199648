#include "waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

OverrideCursor::OverrideCursor(Qt::CursorShape shape)
{
    QGuiApplication::setOverrideCursor(QCursor(shape));
}

OverrideCursor::~OverrideCursor()
{
    QGuiApplication::restoreOverrideCursor();
}
