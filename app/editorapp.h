#pragma once

#include "systemresolver.h"

#include <QApplication>

#include <optional>

class NameResolver;

// Gets the name service ready and runs the editor window once. When the service
// cannot be prepared it says so and returns without touching the LMHOSTS file.
void StartEditor(NameResolver& resolver);

// Points the file edge at the LMHOSTS file a PATH argument names: the file
// itself under any name, or the one below a Windows folder. A file that does not
// exist yet is fine where its folder does. Otherwise returns the message to show,
// and changes nothing.
std::optional<QString> UsePathArgument(const QString& path);

// The program: the application object with its name, version, translations and
// icon, and the system's name service.
class EditorApp
{
public:
    EditorApp(int& argc, char** argv);

    // Reads the command line and runs the editor once; the result is the process
    // exit status.
    int Run();

private:
    QApplication app_;
    SystemResolver resolver_;
};

// The whole program. --help, --version and a wrong option need no display.
int RunMarlox(int argc, char** argv);
