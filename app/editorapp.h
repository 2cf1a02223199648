#pragma once

#include "systemresolver.h"

#include <QApplication>

class NameResolver;

// Gets the name service ready and runs the editor window once. When the service
// cannot be prepared it says so and returns without touching the LMHOSTS file.
void StartEditor(NameResolver& resolver);

// The program: the application object with its name, version, translations and
// icon, and the system's name service.
class EditorApp
{
public:
    EditorApp(int& argc, char** argv);

    // Runs the editor once; the result is the process exit status.
    int Run();

private:
    QApplication app_;
    SystemResolver resolver_;
};
