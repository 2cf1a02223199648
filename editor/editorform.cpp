#include "editorform.h"

#include "findbar.h"
#include "hostlistdelegate.h"
#include "stringtable.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace
{

// The edits take any length: what the file or a paste brings is never cut.
constexpr int kNoMaxLength = std::numeric_limits<int>::max();

// Sizes in dialog units.
constexpr int kMargin = 7;
constexpr int kOctetWidth = 20;
constexpr int kButtonWidth = 50;
constexpr int kButtonColumnGap = 18;
constexpr int kLookupGap = 2;

// Enter on the focused arrow opens its menu, as Space does, instead of running the
// window's default button.
class MenuArrowButton : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            showMenu();
        else
            QToolButton::keyPressEvent(event);
    }
};

} // namespace

DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : alphabetWidth_(metrics.horizontalAdvance(
          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))),
      fontHeight_(metrics.height())
{
}

int DialogUnits::toPixelsX(int units) const
{
    // Rounded: four units per average character, averaged over 52 letters.
    return (units * alphabetWidth_ + 26 * 4) / (52 * 4);
}

int DialogUnits::toPixelsY(int units) const
{
    return (units * fontHeight_ + 4) / 8;
}

EditorForm BuildEditorForm(QDialog& dialog)
{
    EditorForm f;
    auto makeEdit = [&dialog](const char* name) {
        auto* edit = new QLineEdit(&dialog);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(kNoMaxLength);
        return edit;
    };
    auto makeLabel = [&dialog](const QString& text, const char* name) {
        auto* label = new QLabel(text, &dialog);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    auto makeButton = [&dialog](const QString& text, const char* name) {
        auto* button = new QPushButton(text, &dialog);
        button->setObjectName(QLatin1String(name));
        // Enter presses the focused button; elsewhere it runs Save & Exit.
        button->setAutoDefault(true);
        return button;
    };

    // Created in tab order, with the window's translation context; each label's mnemonic leads to
    // the control after it.
    f.hostnameLabel =
        makeLabel(QCoreApplication::translate("EditorDialog", "&Hostname:"), "hostnameLabel");
    f.hostnameEdit = makeEdit("hostnameEdit");
    f.addressLabel =
        makeLabel(QCoreApplication::translate("EditorDialog", "&IP Adress:"), "addressLabel");
    static const char* const kOctetNames[4] = {"octet1Edit", "octet2Edit", "octet3Edit",
                                               "octet4Edit"};
    for (int i = 0; i < 4; ++i)
        f.octetEdits[i] = makeEdit(kOctetNames[i]);
    // Each part has a name of its own: the label names only the first.
    for (int i = 0; i < 4; ++i)
        f.octetEdits[i]->setAccessibleName(LoadString(StrAccessibleOctet1 + i));
    f.lookupButton =
        makeButton(QCoreApplication::translate("EditorDialog", "Lookup"), "lookupButton");
    f.domainLabel =
        makeLabel(QCoreApplication::translate("EditorDialog", "&Domain:"), "domainLabel");
    f.domainEdit = makeEdit("domainEdit");
    f.commentLabel =
        makeLabel(QCoreApplication::translate("EditorDialog", "&Comment:"), "commentLabel");
    f.commentEdit = makeEdit("commentEdit");
    f.preloadCheck =
        new QCheckBox(QCoreApplication::translate("EditorDialog", "&Preload"), &dialog);
    f.preloadCheck->setObjectName(QStringLiteral("preloadCheck"));
    f.newButton = makeButton(QCoreApplication::translate("EditorDialog", "&New"), "newButton");
    f.deleteButton =
        makeButton(QCoreApplication::translate("EditorDialog", "De&lete"), "deleteButton");
    f.deleteButton->setEnabled(false);
    f.saveButton =
        makeButton(QCoreApplication::translate("EditorDialog", "&Save && Exit"), "saveButton");
    f.saveButton->setDefault(true);
    f.closeButton = makeButton(QCoreApplication::translate("EditorDialog", "Close"), "closeButton");

    QTreeView* list = f.hostList = new QTreeView(&dialog);
    list->setObjectName(QStringLiteral("hostList"));
    list->setAccessibleName(LoadString(StrAccessibleHostList));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true); // keeps a million rows cheap
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(false); // the model keeps its rows sorted itself
    list->header()->setStretchLastSection(true);
    list->header()->setSectionsMovable(false);
    // The list has no menu of its own, and the window's menu is not for the list.
    list->setContextMenuPolicy(Qt::PreventContextMenu);
    list->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    // The selection shows only while the list has the focus.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Inactive, QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Inactive, QPalette::Text));
    list->setPalette(palette);

    f.hostnameLabel->setBuddy(f.hostnameEdit);
    f.addressLabel->setBuddy(f.octetEdits[0]);
    f.domainLabel->setBuddy(f.domainEdit);
    f.commentLabel->setBuddy(f.commentEdit);

    const QList<QWidget*> tabOrder = {f.hostnameEdit,  f.octetEdits[0],
                                      f.octetEdits[1], f.octetEdits[2],
                                      f.octetEdits[3], f.lookupButton,
                                      f.domainEdit,    f.commentEdit,
                                      f.preloadCheck,  f.newButton,
                                      f.deleteButton,  f.saveButton,
                                      f.closeButton,   list};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    f.aboutAction = new QAction(&dialog);
    f.aboutAction->setObjectName(QStringLiteral("aboutAction"));
    f.aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
    f.aboutAction->setShortcutContext(Qt::WindowShortcut);

    list->setItemDelegate(new HostListDelegate(list));
    auto makeAction = [&dialog](const char* name, const QKeySequence& key) {
        auto* action = new QAction(&dialog);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        dialog.addAction(action);
        return action;
    };
    f.findBar = new FindBar(&dialog);
    f.findAction = makeAction("findAction", QKeySequence(Qt::CTRL | Qt::Key_F));
    f.findNextAction = makeAction("findNextAction", QKeySequence(Qt::Key_F3));
    f.findPreviousAction = makeAction("findPreviousAction", QKeySequence(Qt::SHIFT | Qt::Key_F3));
    f.warningSummary = makeButton(QString(), "warningSummary");
    f.warningSummary->setFlat(true);
    // Reached by F8, as its tooltip says; the list stays the last stop of Tab.
    f.warningSummary->setFocusPolicy(Qt::NoFocus);
    QWidget::setTabOrder(f.closeButton, f.findBar->findChild<QLineEdit*>());
    QWidget::setTabOrder(f.findBar->findChild<QLineEdit*>(), list);
    f.warningSummary->hide();
    f.nextWarningAction = makeAction("nextWarningAction", QKeySequence(Qt::Key_F8));

    const QString netbiosText = LoadString(StrLookupNetbiosItem);
    f.lookupMenuButton = new MenuArrowButton(&dialog);
    f.lookupMenuButton->setObjectName(QStringLiteral("lookupMenuButton"));
    f.lookupMenuButton->setArrowType(Qt::DownArrow);
    f.lookupMenuButton->setPopupMode(QToolButton::InstantPopup);
    f.lookupMenuButton->setAccessibleName(QString(netbiosText).remove(u'&'));
    f.lookupMenuButton->setToolTip(f.lookupMenuButton->accessibleName());
    f.dnsLookupAction = new QAction(LoadString(StrLookupDnsItem), &dialog);
    f.dnsLookupAction->setObjectName(QStringLiteral("dnsLookupAction"));
    f.netbiosLookupAction = makeAction("netbiosLookupAction", QKeySequence(Qt::CTRL | Qt::Key_L));
    f.netbiosLookupAction->setText(netbiosText);
    auto* lookupMenu = new QMenu(f.lookupMenuButton);
    lookupMenu->setObjectName(QStringLiteral("lookupMenu"));
    lookupMenu->addAction(f.dnsLookupAction);
    lookupMenu->addAction(f.netbiosLookupAction);
    f.lookupMenuButton->setMenu(lookupMenu);
    QWidget::setTabOrder(f.lookupButton, f.lookupMenuButton);

    // The list above, the fields with their labels below it, New and Delete on the
    // right and the two ways out in the bottom right corner.
    const DialogUnits units(dialog.fontMetrics());

    auto* fields = new QGridLayout;
    fields->addWidget(f.hostnameLabel, 0, 0);
    fields->addWidget(f.hostnameEdit, 0, 1);
    fields->addWidget(f.addressLabel, 1, 0);
    auto* address = new QHBoxLayout;
    for (QLineEdit* edit : f.octetEdits) {
        // Wide enough for three digits whatever the style's frame takes.
        edit->setFixedWidth(std::max(units.toPixelsX(kOctetWidth),
                                     edit->minimumSizeHint().width() +
                                         edit->fontMetrics().horizontalAdvance(u'0') * 3));
        address->addWidget(edit);
    }
    address->addSpacing(units.toPixelsX(kLookupGap));
    address->addWidget(f.lookupButton);
    address->addWidget(f.lookupMenuButton);
    address->addStretch(1);
    fields->addLayout(address, 1, 1);
    fields->addWidget(f.domainLabel, 2, 0);
    fields->addWidget(f.domainEdit, 2, 1);
    fields->addWidget(f.commentLabel, 3, 0);
    fields->addWidget(f.commentEdit, 3, 1);
    fields->addWidget(f.preloadCheck, 4, 1);
    fields->setColumnStretch(1, 1);
    fields->setColumnMinimumWidth(2,
                                  units.toPixelsX(kButtonColumnGap) - fields->horizontalSpacing());
    fields->addWidget(f.newButton, 0, 3);
    fields->addWidget(f.deleteButton, 1, 3);

    // Which file is open, beside the two ways out.
    f.pathLabel = new QLabel(&dialog);
    f.pathLabel->setObjectName(QStringLiteral("pathLabel"));
    f.pathLabel->setTextFormat(Qt::PlainText);
    f.pathLabel->setMinimumWidth(units.toPixelsX(40));
    f.pathLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* exits = new QHBoxLayout;
    exits->addWidget(f.pathLabel, 1);
    exits->addWidget(f.saveButton);
    exits->addWidget(f.closeButton);

    for (QPushButton* button :
         {f.lookupButton, f.newButton, f.deleteButton, f.saveButton, f.closeButton})
        button->setMinimumWidth(units.toPixelsX(kButtonWidth));

    const int margin = units.toPixelsX(kMargin);
    auto* main = new QVBoxLayout(&dialog);
    main->setContentsMargins(margin, margin, margin, margin);
    main->addWidget(f.findBar);
    main->addWidget(list, 1);
    main->addWidget(f.warningSummary, 0, Qt::AlignLeft);
    main->addLayout(fields);
    main->addLayout(exits);

    // The entry fields start disabled; without this the focus, and with it
    // Enter, would land on New.
    f.saveButton->setFocus(Qt::OtherFocusReason);
    return f;
}
