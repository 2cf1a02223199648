#include "editorapp.h"

#include "appinfo.h"
#include "editordialog.h"
#include "lmhostsfile.h"
#include "stringtable.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>

namespace
{

void SetUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("marlox"));
    SetApplicationVersion();
    InstallTranslations();
}

// Set up in a function so that its texts are translated once the translations are in.
void DescribeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("EditorApp", "Edits the LMHOSTS file of a Windows "
                                                 "installation: the static table of NetBIOS "
                                                 "names and their IPv4 addresses."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("PATH"),
        QCoreApplication::translate(
            "EditorApp", "The LMHOSTS file to edit, under any name, or a Windows folder whose "
                         "System32/drivers/etc/lmhosts is meant. Without it: the file below "
                         "$SystemRoot, else in the Wine prefix ($WINEPREFIX or ~/.wine)."),
        QStringLiteral("[PATH]"));
}

// Whether the command line asks for something that needs no window.
bool AsksForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            return false;
        if (arg.startsWith('-') && arg.size() > 1)
            return true;
    }
    return false;
}

} // namespace

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

std::optional<QString> UsePathArgument(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        UseWindowsFolder(info.absoluteFilePath());
        return std::nullopt;
    }
    if (info.exists() || info.isSymLink()) {
        if (!info.isFile() && !info.isSymLink())
            return QCoreApplication::translate("EditorApp", "%1 is neither a file nor a folder.")
                .arg(path);
        UseLmhostsFile(info.absoluteFilePath());
        return std::nullopt;
    }
    if (!info.absoluteDir().exists())
        return QCoreApplication::translate("EditorApp", "The folder of %1 does not exist.")
            .arg(path);
    UseLmhostsFile(info.absoluteFilePath());
    return std::nullopt;
}

EditorApp::EditorApp(int& argc, char** argv) : app_(argc, argv)
{
    SetUpApplication();
    QApplication::setDesktopFileName(QStringLiteral("io.github.marlox.Marlox"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/marlox-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/marlox-16.png"), QSize(16, 16));
    QApplication::setWindowIcon(icon);
}

int EditorApp::Run()
{
    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.process(app_);
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 1;
    }
    if (!paths.isEmpty()) {
        if (const std::optional<QString> error = UsePathArgument(paths.first())) {
            std::fprintf(stderr, "marlox: %s\n", qPrintable(*error));
            ShowMessage(nullptr, *error, QMessageBox::Warning);
            return 1;
        }
    }
    StartEditor(resolver_);
    return 0;
}

int RunMarlox(int argc, char** argv)
{
    // Without a display a wrong PATH is still told, on stderr alone.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") &&
                           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay && argc > 1 && !AsksForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        SetUpApplication();
        QCommandLineParser parser;
        DescribeOptions(parser);
        parser.process(app);
        const QStringList paths = parser.positionalArguments();
        if (!paths.isEmpty()) {
            if (const std::optional<QString> error = UsePathArgument(paths.first())) {
                std::fprintf(stderr, "marlox: %s\n", qPrintable(*error));
                return 1;
            }
        }
    }
    if (AsksForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        SetUpApplication();
        QCommandLineParser parser;
        DescribeOptions(parser);
        // Prints help, the version or what is wrong, and ends the process.
        parser.process(app);
        // Options that are known but ask for neither.
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 1;
    }
    EditorApp app(argc, argv);
    return app.Run();
}
