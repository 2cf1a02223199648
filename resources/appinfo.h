#pragma once

#include <QString>

// The program's version, "1.0.0.1", as the build states it.
QString ApplicationVersionText();

// Sets QCoreApplication's version; call once after creating the application object.
void SetApplicationVersion();
