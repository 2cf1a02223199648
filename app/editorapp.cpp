#include "editorapp.h"

#include "appinfo.h"
#include "editordialog.h"
#include "stringtable.h"

#include <QIcon>

void StartEditor(NameResolver& resolver)
{
    if (!resolver.Prepare()) {
        ShowMessage(nullptr, LoadString(StrSocketInitFailed));
        return;
    }
    EditorDialog dialog(resolver);
    // Save & Exit and Close both end the program.
    dialog.DoModal();
}

EditorApp::EditorApp(int& argc, char** argv) : app_(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("Marlox"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.marlox.Marlox"));
    SetApplicationVersion();
    InstallTranslations();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/marlox-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/marlox-16.png"), QSize(16, 16));
    QApplication::setWindowIcon(icon);
}

int EditorApp::Run()
{
    StartEditor(resolver_);
    return 0;
}
