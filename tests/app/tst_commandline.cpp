// The command line: which file PATH names, --help and --version without a
// display, and a PATH that names nothing usable.

#include "editorapp.h"
#include "lmhostsfile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

// The program, started with no display at all.
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunMarloxProcess(const QStringList& args, const QString& locale = QStringLiteral("C.UTF-8"))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANG"), locale);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(MARLOX_BINARY), args);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textWithoutDisplay_data();
    void textWithoutDisplay();
    void pathNamesTheFile_data();
    void pathNamesTheFile();
    void badPathIsRefused_data();
    void badPathIsRefused();

private:
    QTemporaryDir dir_;
};

void TestCommandLine::init()
{
    QVERIFY(dir_.isValid());
    qunsetenv("SystemRoot");
}

void TestCommandLine::cleanup()
{
    UseLmhostsFile({});
}

void TestCommandLine::textWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected"); // in the standard output

    QTest::newRow("--version") << QStringList{"--version"} << "C.UTF-8"
                               << "marlox 1.0.0.1\n";
    QTest::newRow("-v") << QStringList{"-v"} << "C.UTF-8"
                        << "marlox 1.0.0.1\n";
    QTest::newRow("--help") << QStringList{"--help"} << "C.UTF-8"
                            << "Edits the LMHOSTS file of a Windows installation";
    QTest::newRow("--help, German") << QStringList{"--help"} << "de_AT.UTF-8"
                                    << "Bearbeitet die LMHOSTS Datei einer Windows Installation";
}

void TestCommandLine::textWithoutDisplay()
{
    QFETCH(QStringList, args);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const Run run = RunMarloxProcess(args, locale);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(expected), qPrintable(run.out + run.err));
    if (args.first() == "--help")
        QVERIFY(run.out.contains("[PATH]"));
}

void TestCommandLine::pathNamesTheFile_data()
{
    QTest::addColumn<QString>("make");     // what exists below the temporary folder
    QTest::addColumn<QString>("argument"); // PATH, relative to it
    QTest::addColumn<QString>("file");     // the LMHOSTS file meant

    QTest::newRow("a file under any name") << "samba/lmhosts.test"
                                           << "samba/lmhosts.test"
                                           << "samba/lmhosts.test";
    QTest::newRow("a file not there yet") << "samba/"
                                          << "samba/lmhosts"
                                          << "samba/lmhosts";
    QTest::newRow("a Windows folder") << "Windows/System32/drivers/etc/lmhosts"
                                      << "Windows"
                                      << "Windows/System32/drivers/etc/lmhosts";
    QTest::newRow("a Windows folder, names in other case") << "WINNT/system32/DRIVERS/Etc/LMHOSTS"
                                                           << "WINNT/"
                                                           << "WINNT/system32/DRIVERS/Etc/LMHOSTS";
    QTest::newRow("a Windows folder without the file") << "Windows/System32/drivers/etc/"
                                                       << "Windows"
                                                       << "Windows/System32/drivers/etc/LMHOSTS";
}

void TestCommandLine::pathNamesTheFile()
{
    QFETCH(QString, make);
    QFETCH(QString, argument);
    QFETCH(QString, file);
    const QTemporaryDir dir;
    const QString base = dir.path() + u'/';
    const QString made = base + make;
    QVERIFY(QDir().mkpath(make.endsWith(u'/') ? made : QFileInfo(made).path()));
    if (!make.endsWith(u'/')) {
        QFile f(made);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // $SystemRoot says otherwise, and PATH wins.
    qputenv("SystemRoot", QFile::encodeName(base + "elsewhere"));
    QCOMPARE(UsePathArgument(base + argument), std::nullopt);
    QCOMPARE(LmhostsPath(), base + file);
}

void TestCommandLine::badPathIsRefused_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder missing") << "none/lmhosts"
                                    << "The folder of %1 does not exist.";
    QTest::newRow("a pipe") << "pipe"
                            << "%1 is neither a file nor a folder.";
}

void TestCommandLine::badPathIsRefused()
{
    QFETCH(QString, argument);
    QFETCH(QString, message);
    const QString path = dir_.path() + u'/' + argument;
    if (argument == "pipe")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
    const QStringList before = QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden);

    QCOMPARE(UsePathArgument(path), message.arg(path));
    const Run run = RunMarloxProcess({path});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "marlox: " + message.arg(path) + "\n");
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
