#include "editordialog.h"

#include "aboutdialog.h"
#include "lmhostsfile.h"
#include "lookup.h"
#include "nameresolver.h"
#include "stringtable.h"
#include "textcodec.h"
#include "waitcursor.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <optional>

namespace
{

// The longest hostname or domain a user may type.
constexpr qsizetype kMaxNameLength = 512;

// A line edit lays out its whole text at every change and paint: a text longer
// than this is shown shortened and read-only, and stays in the entry as it is.
constexpr qsizetype kMaxEditChars = 100000;

// The longest text a message box shows: it too is laid out whole.
constexpr qsizetype kMaxMessageChars = 2000;

// The edits take any length: what the file or a paste brings is never cut.
constexpr int kNoMaxLength = std::numeric_limits<int>::max();

// Octets the writer can put back as they are: three characters at most.
constexpr std::int32_t kMinWritableOctet = -99;
constexpr std::int32_t kMaxWritableOctet = 999;

// Size of the window and of some controls in dialog units: a quarter of the average
// character width across, an eighth of the font height down.
constexpr int kDialogWidth = 362;
constexpr int kDialogHeight = 255;
constexpr int kMargin = 7;
constexpr int kOctetWidth = 20;
constexpr int kButtonWidth = 50;
constexpr int kButtonColumnGap = 18;

QString EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}

// A decimal integer with optional blanks around it and an optional sign. Values
// beyond 32 bits saturate: they are out of any octet's range either way.
std::optional<std::int32_t> ParseDecimal(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c - u'0'), kLimit);
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

QString FileErrorText(const FileError& error)
{
    int id = StrCannotWrite;
    switch (error.operation()) {
    case FileError::Operation::OpenForReading:
        id = StrCannotOpenForReading;
        break;
    case FileError::Operation::Read:
        id = StrCannotRead;
        break;
    case FileError::Operation::OpenForWriting:
        id = StrCannotOpenForWriting;
        break;
    case FileError::Operation::Write:
        id = StrCannotWrite;
        break;
    }
    QString reason = error.reason();
    switch (error.problem()) {
    case FileError::Problem::NotRegularFile:
        reason = LoadString(StrNotRegularFile);
        break;
    case FileError::Problem::TooLarge:
        reason = LoadString(StrFileTooLarge);
        break;
    case FileError::Problem::Utf16:
        reason = LoadString(StrUtf16File);
        break;
    case FileError::Problem::Locked:
        reason = LoadString(StrFileLocked);
        break;
    case FileError::Problem::System:
        break;
    }
    return FormatString(id, error.path(), reason);
}

} // namespace

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons)
{
    QString shown = text;
    if (shown.size() > kMaxMessageChars) {
        shown.truncate(kMaxMessageChars - 1);
        shown += QChar(0x2026);
    }
    QMessageBox box(icon, QStringLiteral("Marlox"), shown, buttons, parent);
    // Names and paths from the file are text, not markup.
    box.setTextFormat(Qt::PlainText);
    // A hasty Enter must not destroy anything.
    if (buttons & QMessageBox::No)
        box.setDefaultButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

EditorDialog::EditorDialog(NameResolver& resolver, QWidget* parent)
    : QDialog(parent), resolver_(resolver), logic_(list_, *this)
{
    CreateControls();
    WireEvents();
    ApplyTemplateSize();
}

EditorDialog::~EditorDialog() = default;

void EditorDialog::CreateControls()
{
    setObjectName(QStringLiteral("editorDialog"));
    // The same caption in every language: it names the program, not an action.
    setWindowTitle(QStringLiteral("Marlox LMHOSTS Editor"));

    auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(kNoMaxLength);
        return edit;
    };
    auto makeLabel = [this](const QString& text, const char* name) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    auto makeButton = [this](const QString& text, const char* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        // Enter presses the focused button; elsewhere it runs Save & Exit.
        button->setAutoDefault(true);
        return button;
    };

    // Created in tab order; each label's mnemonic leads to the control after it.
    hostnameLabel_ = makeLabel(tr("&Hostname:"), "hostnameLabel");
    hostnameEdit_ = makeEdit("hostnameEdit");
    addressLabel_ = makeLabel(tr("&IP Adress:"), "addressLabel");
    static const char* const kOctetNames[4] = {"octet1Edit", "octet2Edit", "octet3Edit",
                                               "octet4Edit"};
    for (int i = 0; i < 4; ++i)
        octetEdits_[i] = makeEdit(kOctetNames[i]);
    lookupButton_ = makeButton(tr("Lookup"), "lookupButton");
    domainLabel_ = makeLabel(tr("&Domain:"), "domainLabel");
    domainEdit_ = makeEdit("domainEdit");
    commentLabel_ = makeLabel(tr("&Comment:"), "commentLabel");
    commentEdit_ = makeEdit("commentEdit");
    preloadCheck_ = new QCheckBox(tr("&Preload"), this);
    preloadCheck_->setObjectName(QStringLiteral("preloadCheck"));
    newButton_ = makeButton(tr("&New"), "newButton");
    deleteButton_ = makeButton(tr("De&lete"), "deleteButton");
    deleteButton_->setEnabled(false);
    saveButton_ = makeButton(tr("&Save && Exit"), "saveButton");
    saveButton_->setDefault(true);
    closeButton_ = makeButton(tr("Close"), "closeButton");

    hostList_ = new QTreeView(this);
    hostList_->setObjectName(QStringLiteral("hostList"));
    hostList_->setRootIsDecorated(false);
    hostList_->setItemsExpandable(false);
    hostList_->setUniformRowHeights(true); // keeps a million rows cheap
    hostList_->setSelectionMode(QAbstractItemView::SingleSelection);
    hostList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    hostList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    hostList_->setAllColumnsShowFocus(true);
    hostList_->setSortingEnabled(false); // the model keeps its rows sorted itself
    hostList_->header()->setStretchLastSection(false);
    hostList_->header()->setSectionsMovable(false);
    // The list has no menu of its own, and the window's menu is not for the list.
    hostList_->setContextMenuPolicy(Qt::PreventContextMenu);
    hostList_->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    hostList_->setModel(list_.model());
    hostList_->setSelectionModel(list_.selectionModel());
    // The selection shows only while the list has the focus.
    QPalette palette = hostList_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Inactive, QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Inactive, QPalette::Text));
    hostList_->setPalette(palette);

    hostnameLabel_->setBuddy(hostnameEdit_);
    addressLabel_->setBuddy(octetEdits_[0]);
    domainLabel_->setBuddy(domainEdit_);
    commentLabel_->setBuddy(commentEdit_);

    const QList<QWidget*> tabOrder = {
        hostnameEdit_, octetEdits_[0], octetEdits_[1], octetEdits_[2], octetEdits_[3],
        lookupButton_, domainEdit_,    commentEdit_,   preloadCheck_,  newButton_,
        deleteButton_, saveButton_,    closeButton_,   hostList_};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    aboutAction_ = new QAction(this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction_->setShortcutContext(Qt::WindowShortcut);

    // Arranged like the list above, the fields with their labels below it, New and
    // Delete on the right and the two ways out in the bottom right corner.
    const QFontMetrics metrics = fontMetrics();
    const int unitX4 = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    auto unitsX = [unitX4](int units) {
        return (units * unitX4 + 26 * 4) / (52 * 4);
    };

    auto* fields = new QGridLayout;
    fields->addWidget(hostnameLabel_, 0, 0);
    fields->addWidget(hostnameEdit_, 0, 1);
    fields->addWidget(addressLabel_, 1, 0);
    auto* address = new QHBoxLayout;
    for (QLineEdit* edit : octetEdits_) {
        // Wide enough for three digits whatever the style's frame takes.
        edit->setFixedWidth(
            std::max(unitsX(kOctetWidth), edit->minimumSizeHint().width() +
                                              edit->fontMetrics().horizontalAdvance(u'0') * 3));
        address->addWidget(edit);
    }
    address->addSpacing(unitsX(2));
    address->addWidget(lookupButton_);
    address->addStretch(1);
    fields->addLayout(address, 1, 1);
    fields->addWidget(domainLabel_, 2, 0);
    fields->addWidget(domainEdit_, 2, 1);
    fields->addWidget(commentLabel_, 3, 0);
    fields->addWidget(commentEdit_, 3, 1);
    fields->addWidget(preloadCheck_, 4, 1);
    fields->setColumnStretch(1, 1);
    fields->setColumnMinimumWidth(2, unitsX(kButtonColumnGap) - fields->horizontalSpacing());
    fields->addWidget(newButton_, 0, 3);
    fields->addWidget(deleteButton_, 1, 3);

    auto* exits = new QHBoxLayout;
    exits->addStretch(1);
    exits->addWidget(saveButton_);
    exits->addWidget(closeButton_);

    for (QPushButton* button :
         {lookupButton_, newButton_, deleteButton_, saveButton_, closeButton_})
        button->setMinimumWidth(unitsX(kButtonWidth));

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(unitsX(kMargin), unitsX(kMargin), unitsX(kMargin), unitsX(kMargin));
    main->addWidget(hostList_, 1);
    main->addLayout(fields);
    main->addLayout(exits);

    // The entry fields start disabled; without this the focus, and with it
    // Enter, would land on New.
    saveButton_->setFocus(Qt::OtherFocusReason);
}

void EditorDialog::ApplyTemplateSize()
{
    const QFontMetrics metrics = fontMetrics();
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int width = (kDialogWidth * alphabet + 26 * 4) / (52 * 4);
    const int height = (kDialogHeight * metrics.height() + 4) / 8;
    resize(width, height);
}

// Every notification the window reacts to, and who handles it.
void EditorDialog::WireEvents()
{
    connect(aboutAction_, &QAction::triggered, this, &EditorDialog::OnSysCommand);
    connect(domainEdit_, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(newButton_, &QPushButton::clicked, this, &EditorDialog::OnNewEntry);
    connect(deleteButton_, &QPushButton::clicked, this, &EditorDialog::OnDeleteEntry);
    connect(saveButton_, &QPushButton::clicked, this, &EditorDialog::OnSaveAndExit);
    connect(lookupButton_, &QPushButton::clicked, this, &EditorDialog::OnLookup);
    // Clicks anywhere in the list, empty area included, and keys before the list
    // moves its selection: both through eventFilter.
    hostList_->viewport()->installEventFilter(this);
    hostList_->installEventFilter(this);
    connect(hostnameEdit_, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(preloadCheck_, &QCheckBox::clicked, this, &EditorDialog::OnFieldChanged);
    connect(commentEdit_, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    for (QLineEdit* edit : octetEdits_)
        connect(edit, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(hostList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditorDialog::OnListEvent);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

bool EditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == hostList_ && event->type() == QEvent::KeyPress)
        OnListEvent();
    else if (watched == hostList_->viewport() && event->type() == QEvent::MouseButtonRelease)
        OnListEvent();
    return QDialog::eventFilter(watched, event);
}

void EditorDialog::contextMenuEvent(QContextMenuEvent* event)
{
    if (!actions().contains(aboutAction_))
        return QDialog::contextMenuEvent(event);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("windowMenu"));
    menu.setSeparatorsCollapsible(false);
    menu.addSeparator();
    menu.addAction(aboutAction_);
    menu.exec(event->globalPos());
}

int EditorDialog::DoModal()
{
    OnInitDialog();
    return exec();
}

void EditorDialog::OnInitDialog()
{
    TransferToControls();

    const QString aboutText = LoadString(StrAboutMenuItem);
    if (!aboutText.isEmpty()) {
        aboutAction_->setText(aboutText);
        addAction(aboutAction_);
    }

    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/marlox-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/marlox-16.png"), QSize(16, 16));
    setWindowIcon(icon);

    logic_.InsertListColumns();
    for (int column = 0; column < HostListModel::kColumnCount; ++column)
        hostList_->setColumnWidth(column, list_.model()->columnWidth(column));

    try {
        LoadHostTable(logic_.table());
    } catch (const FileError& error) {
        // The window opens empty and ready for new entries; Save & Exit then
        // creates the file.
        ShowMessage(this, FileErrorText(error), QMessageBox::Warning);
        return;
    }

    if (logic_.table().size() > 0) {
        logic_.ShowEntry(0);
        logic_.RefillList();
    }
    logic_.setCurrent(-1, -1);
    logic_.EnableEntryControls(false);
}

void EditorDialog::OnSysCommand()
{
    AboutDialog about(this);
    about.exec();
}

void EditorDialog::OnFieldChanged()
{
    if (transferring_)
        return;
    logic_.OnFieldChanged();
}

void EditorDialog::OnNewEntry()
{
    logic_.OnNewEntry();
}

void EditorDialog::OnDeleteEntry()
{
    // The entry the deletion takes: the selected one, as the logic picks it.
    const int size = logic_.table().size();
    const int row = list_.firstSelectedRow();
    const int entry = list_.entryIndexOfRow(row == -1 ? 0 : row);
    logic_.OnDeleteEntry();
    if (logic_.table().size() == size - 1) {
        // Later entries move down one.
        std::erase_if(longFileNames_,
                      [entry](const LongFileNames& names) { return names.entry == entry; });
        for (LongFileNames& names : longFileNames_)
            names.entry -= names.entry > entry ? 1 : 0;
    }
}

void EditorDialog::OnListEvent()
{
    logic_.OnListEvent();
}

void EditorDialog::OnLookup()
{
    // Busy from the question until the controls show the answer; not while a failed
    // check before it tells the user.
    std::optional<OverrideCursor> wait;
    logic_.OnLookup([this, &wait](const HostEntry& fields) -> std::optional<std::string> {
        wait.emplace(Qt::WaitCursor);
        LookupOutcome outcome =
            LookUpName({fields.octet1, fields.octet2, fields.octet3, fields.octet4}, resolver_);
        if (outcome.found())
            return std::move(outcome.hostname);
        // The box waits for the user: a busy cursor over it would look like a hang.
        OverrideCursor arrow(Qt::ArrowCursor);
        ShowMessage(this, LoadString(outcome.messageId));
        return std::nullopt;
    });
}

void EditorDialog::OnSaveAndExit()
{
    logic_.SyncSelection();

    try {
        SaveResult result = SaveHostTable(logic_.table(), SaveMode::CheckFirst);
        // Replacing what we never read, or someone else's edit since the load,
        // is the user's call; both questions default to No.
        if (result != SaveResult::Saved) {
            const int question =
                result == SaveResult::ChangedOnDisk ? StrFileChangedOnDisk : StrReplaceUnreadFile;
            if (!AskYesNo(FormatString(question, LmhostsPath())))
                return;
            result = SaveHostTable(logic_.table(), SaveMode::Overwrite);
        }
    } catch (const FileError& error) {
        ShowMessage(this, FileErrorText(error), QMessageBox::Warning);
        return;
    }

    if (TransferFromControls())
        accept();
}

QString EditorDialog::ShownText(const std::string& bytes, bool* shortened) const
{
    return ShortenedText(bytes, logic_.table().encoding(), kMaxEditChars, shortened);
}

void EditorDialog::ShowText(QLineEdit* edit, const std::string& bytes)
{
    bool shortened = false;
    const QString text = ShownText(bytes, &shortened);
    edit->setText(text);
    // A shortened text cannot be edited without losing the rest.
    edit->setReadOnly(shortened);
}

qsizetype EditorDialog::TextLimit(QLineEdit* edit)
{
    if (edit != hostnameEdit_ && edit != domainEdit_)
        return -1;
    // Noted at the first transfer, before any edit has reached the table.
    if (!longNamesNoted_) {
        longNamesNoted_ = true;
        const HostTable& table = logic_.table();
        for (int i = 0; i < table.size(); ++i) {
            const HostEntry& e = table.at(i);
            // A character takes at least one byte.
            if (e.hostname.size() > std::size_t(kMaxNameLength) ||
                e.domain.size() > std::size_t(kMaxNameLength))
                longFileNames_.push_back(
                    LongFileNames{i, DecodeText(e.hostname, table.encoding()).size(),
                                  DecodeText(e.domain, table.encoding()).size()});
        }
    }
    // A longer name from the file is not the user's doing: it may stay that long.
    const int entry = logic_.currentEntry();
    const auto it =
        std::lower_bound(longFileNames_.begin(), longFileNames_.end(), entry,
                         [](const LongFileNames& names, int index) { return names.entry < index; });
    if (it == longFileNames_.end() || it->entry != entry)
        return kMaxNameLength;
    return std::max(kMaxNameLength, edit == hostnameEdit_ ? it->hostname : it->domain);
}

void EditorDialog::TransferToControls()
{
    const bool wasTransferring = std::exchange(transferring_, true);
    const HostEntry& fields = logic_.fields();

    ShowText(hostnameEdit_, fields.hostname);
    const std::int32_t octets[4] = {fields.octet1, fields.octet2, fields.octet3, fields.octet4};
    for (int i = 0; i < 4; ++i)
        octetEdits_[i]->setText(QString::number(octets[i]));
    ShowText(domainEdit_, fields.domain);
    preloadCheck_->setChecked(fields.preload);
    ShowText(commentEdit_, fields.comment);

    transferring_ = wasTransferring;
}

bool EditorDialog::TransferFromControls()
{
    const bool wasTransferring = std::exchange(transferring_, true);
    HostEntry& fields = logic_.fields();
    std::int32_t* const octets[4] = {&fields.octet1, &fields.octet2, &fields.octet3,
                                     &fields.octet4};

    bool ok = TransferText(hostnameEdit_, fields.hostname);
    for (int i = 0; ok && i < 4; ++i)
        ok = TransferOctet(octetEdits_[i], *octets[i]);
    ok = ok && TransferText(domainEdit_, fields.domain);
    if (ok)
        fields.preload = preloadCheck_->isChecked();
    ok = ok && TransferText(commentEdit_, fields.comment);

    transferring_ = wasTransferring;
    return ok;
}

bool EditorDialog::TransferText(QLineEdit* edit, std::string& field)
{
    const QString text = edit->text();
    // Text the user left alone keeps its bytes: decoding is not always reversible
    // (bytes that are not UTF-8 in a UTF-8 file), and a shortened text has lost its end.
    if (text != ShownText(field)) {
        const TextEncoding encoding = logic_.table().encoding();
        QString firstBad;
        std::optional<std::string> bytes = EncodeText(text, encoding, &firstBad);
        if (!bytes)
            return FailTransfer(edit,
                                FormatString(StrCannotEncode, firstBad, EncodingName(encoding)));
        field = std::move(*bytes);
    }
    const qsizetype limit = TextLimit(edit);
    if (limit >= 0 && text.size() > limit)
        return FailTransfer(edit, LoadString(StrEnterShortText));
    return true;
}

bool EditorDialog::TransferOctet(QLineEdit* edit, std::int32_t& field)
{
    const std::optional<std::int32_t> value = ParseDecimal(edit->text());
    if (!value)
        return FailTransfer(edit, LoadString(StrEnterInteger));
    // Beyond three characters the line would not read back as the same number.
    if (*value < kMinWritableOctet || *value > kMaxWritableOctet)
        return FailTransfer(edit, LoadString(StrEnterOctet));
    field = *value;
    if (field < 0 || field > 255)
        return FailTransfer(edit, LoadString(StrEnterOctet));
    return true;
}

bool EditorDialog::FailTransfer(QWidget* control, const QString& message)
{
    ShowMessage(this, message, QMessageBox::Warning);
    control->setFocus(Qt::OtherFocusReason);
    return false;
}

QWidget* EditorDialog::control(ControlId id) const
{
    switch (id) {
    case IdSaveAndExit:
        return saveButton_;
    case IdClose:
        return closeButton_;
    case IdNew:
        return newButton_;
    case IdDelete:
        return deleteButton_;
    case IdPreload:
        return preloadCheck_;
    case IdDomain:
        return domainEdit_;
    case IdHostname:
        return hostnameEdit_;
    case IdOctet1:
        return octetEdits_[0];
    case IdOctet2:
        return octetEdits_[1];
    case IdOctet3:
        return octetEdits_[2];
    case IdOctet4:
        return octetEdits_[3];
    case IdComment:
        return commentEdit_;
    case IdLookup:
        return lookupButton_;
    case IdHostList:
        return hostList_;
    }
    return nullptr;
}

void EditorDialog::EnableControl(ControlId id, bool enable)
{
    if (QWidget* widget = control(id))
        widget->setEnabled(enable);
}

void EditorDialog::FocusControl(ControlId id)
{
    if (QWidget* widget = control(id))
        widget->setFocus(Qt::OtherFocusReason);
}

bool EditorDialog::AskYesNo(const QString& question)
{
    return ShowMessage(this, question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}
