// Renders the editor window on a Windows tree into a PNG, for the documentation.
// Usage: marlox_screenshot <SystemRoot> <out.png>; the language follows the locale.

#include "editordialog.h"
#include "stringtable.h"
#include "windowkit.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: marlox_screenshot <SystemRoot> <out.png>\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Marlox"));
    InstallTranslations();
    qputenv("SystemRoot", QFile::encodeName(args[1]));

    // The window never asks for a name here.
    FakeResolver resolver;
    const std::unique_ptr<EditorDialog> window = ShowEditor(resolver);
    EditorDialog& dialog = *window;
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;

    // A row picked, as it looks while someone edits it.
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("hostList"));
    const QModelIndex row = list->model()->index(4, 0);
    if (!row.isValid())
        return 1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    QApplication::processEvents();

    if (!dialog.grab().save(args[2])) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
