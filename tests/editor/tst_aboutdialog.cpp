#include "aboutdialog.h"
#include "stringtable.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace
{

#ifdef EXPECT_GERMAN
const bool kGerman = true;
#else
const bool kGerman = false;
#endif

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void texts_data();
    void texts();
    void iconAndLayout();
    void closes_data();
    void closes();
};

void TestAboutDialog::initTestCase()
{
    // The process locale was fixed by the test runner; the program installs its texts the
    // same way at start-up.
    QCOMPARE(InstallTranslations(), kGerman);
}

void TestAboutDialog::texts_data()
{
    QTest::addColumn<QString>("objectName"); // empty: the window caption
    QTest::addColumn<QString>("expected");

    if (kGerman) {
        QTest::newRow("caption") << QString() << QString("Über Marlox");
        QTest::newRow("version") << "aboutVersion"
                                 << QString("Marlox Version 1.0\nDeutsch/Englisch");
        QTest::newRow("contact") << "aboutContact" << QString("Kontakt: marlox@example.org");
    } else {
        QTest::newRow("caption") << QString() << QString("About Marlox");
        QTest::newRow("version") << "aboutVersion" << QString("Marlox Version 1.0\nEnglish/German");
        QTest::newRow("contact") << "aboutContact" << QString("Contact: marlox@example.org");
    }
    QTest::newRow("ok") << "aboutOk" << QString("OK");
}

void TestAboutDialog::texts()
{
    QFETCH(QString, objectName);
    QFETCH(QString, expected);

    AboutDialog dialog;
    if (objectName.isEmpty()) {
        QCOMPARE(dialog.windowTitle(), expected);
    } else if (auto* button = dialog.findChild<QPushButton*>(objectName)) {
        QCOMPARE(button->text(), expected);
    } else {
        auto* label = dialog.findChild<QLabel*>(objectName);
        QVERIFY(label);
        QCOMPARE(label->text(), expected);
    }
}

void TestAboutDialog::iconAndLayout()
{
    AboutDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto* icon = dialog.findChild<QLabel*>("aboutIcon");
    QVERIFY(icon);
    QCOMPARE(icon->pixmap().size(), QSize(32, 32)); // a missing resource gives a null pixmap

    // Texts beside the icon, OK at the top right, the line under texts and button, the
    // two-line notice last.
    auto* version = dialog.findChild<QLabel*>("aboutVersion");
    auto* ok = dialog.findChild<QPushButton*>("aboutOk");
    auto* line = dialog.findChild<QFrame*>("aboutLine");
    auto* notice = dialog.findChild<QLabel*>("aboutNotice");
    QVERIFY(version && ok && line && notice);
    QVERIFY(ok->isDefault());
    QVERIFY(version->geometry().left() > icon->geometry().right());
    QVERIFY(ok->geometry().left() > version->geometry().right());
    QVERIFY(ok->geometry().top() <= version->geometry().top() + 2);
    QVERIFY(line->geometry().top() >
            dialog.findChild<QLabel*>("aboutContact")->geometry().bottom());
    QVERIFY(line->geometry().right() >= ok->geometry().right());
    QVERIFY(notice->geometry().top() > line->geometry().bottom());
    QCOMPARE(notice->text().count('\n'), 1);
}

void TestAboutDialog::closes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expectedResult");

    QTest::newRow("Return is OK") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestAboutDialog::closes()
{
    QFETCH(int, key);
    QFETCH(int, expectedResult);

    AboutDialog dialog;
    bool pressed = false;
    QTimer::singleShot(0, &dialog, [&] {
        pressed = true;
        QTest::keyClick(&dialog, Qt::Key(key));
    });
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(-1); }); // a dialog that ignores keys
    const int result = dialog.exec();
    QVERIFY(pressed);
    QCOMPARE(result, expectedResult);
}

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
