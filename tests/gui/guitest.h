#pragma once

// Helpers for driving the real editor window: a throw-away Windows tree, a name
// service that answers what a test tells it, and a hand that answers modal boxes.

#include "nameresolver.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

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

// Answers lookups with one fixed result and remembers what it was asked.
class FakeResolver : public NameResolver
{
public:
    bool Prepare() override
    {
        ++prepareCalls;
        return prepares;
    }
    LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                               std::uint8_t d) override
    {
        asked << QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
        if (whileAsked)
            whileAsked();
        return answer;
    }

    bool prepares = true;
    int prepareCalls = 0;
    LookupResult answer{LookupStatus::HostNotFound, {}};
    QStringList asked;
    std::function<void()> whileAsked;
};

// One modal window the test saw.
struct SeenBox {
    QString className;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons; // button texts, in the box's order
};

// Watches for modal windows while it lives and closes each one: message boxes
// with the next queued answer (OK/No when the queue is empty; NoButton: the Enter
// key), other dialogs by rejecting them. What it saw is kept in `seen`.
class ModalHand : public QObject
{
public:
    ModalHand()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &ModalHand::Poll);
        timer_.start();
    }

    QList<QMessageBox::StandardButton> answers;
    QList<SeenBox> seen;
    // Runs for each window before it is closed, e.g. to look inside it.
    std::function<void(QWidget*)> inspect;

    QStringList texts() const
    {
        QStringList result;
        for (const SeenBox& box : seen)
            result << box.text;
        return result;
    }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        SeenBox box;
        box.className = QString::fromLatin1(modal->metaObject()->className());
        box.title = modal->windowTitle();
        if (inspect)
            inspect(modal);
        if (auto* message = qobject_cast<QMessageBox*>(modal)) {
            box.text = message->text();
            box.icon = message->icon();
            box.format = message->textFormat();
            for (QAbstractButton* button : message->buttons())
                box.buttons << button->text();
            seen << box;
            if (!answers.isEmpty() && answers.first() == QMessageBox::NoButton) {
                answers.removeFirst();
                QTest::keyClick(message, Qt::Key_Return);
                return;
            }
            // A queued answer waits for the first box that offers it.
            QAbstractButton* button = nullptr;
            if (!answers.isEmpty() && (button = message->button(answers.first())))
                answers.removeFirst();
            if (!button)
                button = message->button(QMessageBox::Ok);
            if (!button)
                button = message->button(QMessageBox::No);
            if (!button) {
                qWarning("ModalHand: no button to answer \"%s\"", qPrintable(box.text));
                message->reject();
                return;
            }
            button->click();
            return;
        }
        seen << box;
        dialog->reject();
    }

    QTimer timer_;
};
