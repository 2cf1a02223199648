#pragma once

// Helpers for driving the real editor window: a throw-away Windows tree, the window's
// start-up, and a hand that answers its message boxes.

#include "editordialog.h"
#include "fakeresolver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>

// A Windows tree in a temporary directory, with SystemRoot pointing at it.
class WindowsTree
{
public:
    explicit WindowsTree(const QString& folder = QStringLiteral("Windows"))
    {
        root_ = dir_.path() + u'/' + folder;
        QDir().mkpath(etcPath());
        qputenv("SystemRoot", QFile::encodeName(root_));
    }
    ~WindowsTree() { qunsetenv("SystemRoot"); }

    QString root() const { return root_; }
    QString etcPath() const { return root_ + QStringLiteral("/System32/drivers/etc"); }
    QString lmhostsPath() const { return etcPath() + QStringLiteral("/lmhosts"); }

    void write(const QByteArray& bytes) const
    {
        QFile file(lmhostsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read() const
    {
        QFile file(lmhostsPath());
        if (!file.open(QIODevice::ReadOnly))
            return QByteArrayLiteral("<missing>");
        return file.readAll();
    }

private:
    QTemporaryDir dir_;
    QString root_;
};

// The editor window as DoModal starts it, but shown instead of run.
inline std::unique_ptr<EditorDialog> ShowEditor(NameResolver& resolver)
{
    auto dialog = std::make_unique<EditorDialog>(resolver);
    dialog->OnInitDialog();
    dialog->show();
    return dialog;
}

// The editor window shown on a temporary tree holding `file` (none: no file), and
// the ways a user reaches its controls.
template <class Resolver = FakeResolver> class EditorWindow
{
public:
    explicit EditorWindow(const QByteArray* file, const QString& folder = QStringLiteral("Windows"))
        : tree(folder)
    {
        if (file)
            tree.write(*file);
        dialog = ShowEditor(resolver);
    }

    bool activate() { return QTest::qWaitForWindowActive(dialog.get()); }

    template <typename T> T* find(const char* name) const
    {
        return dialog->template findChild<T*>(QLatin1String(name));
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QTreeView* list() const { return find<QTreeView>("hostList"); }

    void clickRow(int row) const
    {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Replaces the text of an edit the way a user does: click, select all, type.
    void retype(const char* name, const QString& text) const
    {
        QLineEdit* e = edit(name);
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, text);
    }

    WindowsTree tree;
    Resolver resolver;
    std::unique_ptr<EditorDialog> dialog;
};

// One message box the test saw.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons; // button texts, in the box's order
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the program's message boxes while it lives, with the next queued answer
// (OK, else No, when none is queued; NoButton: the Enter key). What it saw is kept in
// `seen`.
class MessageHand
{
public:
    MessageHand()
    {
        SetMessageAnswerer([this](QMessageBox& box) { return Answer(box); });
    }
    ~MessageHand() { SetMessageAnswerer({}); }
    MessageHand(const MessageHand&) = delete;
    MessageHand& operator=(const MessageHand&) = delete;

    QList<QMessageBox::StandardButton> answers;
    QList<SeenBox> seen;
    // Runs for each box before it is answered, e.g. to look at the cursor.
    std::function<void(QMessageBox&)> inspect;

    QStringList texts() const
    {
        QStringList result;
        for (const SeenBox& box : seen)
            result << box.text;
        return result;
    }

private:
    QMessageBox::StandardButton Answer(QMessageBox& box)
    {
        SeenBox s;
        s.title = box.windowTitle();
        s.text = box.text();
        s.icon = box.icon();
        s.format = box.textFormat();
        for (QAbstractButton* button : box.buttons())
            s.buttons << button->text();
        s.defaultButton = box.standardButton(box.defaultButton());
        seen << s;
        if (inspect)
            inspect(box);
        if (!answers.isEmpty() && answers.first() == QMessageBox::NoButton) {
            answers.removeFirst();
            // Enter does what the box makes of it: it has to be up for that.
            box.show();
            QTest::keyClick(&box, Qt::Key_Return);
            return box.standardButton(box.clickedButton());
        }
        // A queued answer waits for the first box that offers it.
        QAbstractButton* button = nullptr;
        if (!answers.isEmpty() && (button = box.button(answers.first())))
            answers.removeFirst();
        if (!button)
            button = box.button(QMessageBox::Ok);
        if (!button)
            button = box.button(QMessageBox::No);
        if (!button) {
            qWarning("MessageHand: no button to answer \"%s\"", qPrintable(s.text));
            return QMessageBox::NoButton;
        }
        return box.standardButton(button);
    }
};

// Closes the next dialog that runs modally (the About box, the editor window run by
// the program), by rejecting it once its event loop runs. Its class name goes to `seen`.
inline void CloseNextDialog(QStringList& seen)
{
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen << QString::fromLatin1(dialog->metaObject()->className());
        dialog->reject();
    });
}
