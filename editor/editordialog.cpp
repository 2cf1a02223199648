#include "editordialog.h"

#include "aboutdialog.h"
#include "addressinput.h"
#include "background.h"
#include "findbar.h"
#include "lmhostsfile.h"
#include "lookup.h"
#include "nameresolver.h"
#include "stringtable.h"
#include "textcodec.h"
#include "waitcursor.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include <optional>

namespace
{

// A line edit lays out its whole text at every change and paint: a text longer
// than this is shown shortened and read-only, and stays in the entry as it is.
constexpr qsizetype kMaxEditChars = 100000;

// The longest text a message box shows: it too is laid out whole.
constexpr qsizetype kMaxMessageChars = 2000;

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

namespace
{

MessageAnswerer& Answerer()
{
    static MessageAnswerer answerer;
    return answerer;
}

} // namespace

void SetMessageAnswerer(MessageAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

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
    if (const MessageAnswerer& answerer = Answerer())
        return answerer(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

EditorDialog::EditorDialog(NameResolver& resolver, QWidget* parent)
    : QDialog(parent), resolver_(resolver), form_(BuildEditorForm(*this)), list_(table_),
      logic_(table_, list_, *this)
{
    setObjectName(QStringLiteral("editorDialog"));
    // The same caption in every language: it names the program, not an action.
    // An application window: it minimises and maximises like any other.
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ShowFileName();
    ConnectModel();
    WireEvents();
    new AddressInput(form_.octetEdits, this);
    ApplyDesignSize();
}

EditorDialog::~EditorDialog() = default;

void EditorDialog::ConnectModel()
{
    form_.hostList->setModel(list_.model());
    form_.hostList->setSelectionModel(list_.selectionModel());
}

void EditorDialog::ApplyDesignSize()
{
    const DialogUnits units(fontMetrics());
    QSize size(units.toPixelsX(kEditorWidthUnits), units.toPixelsY(kEditorHeightUnits));
    // Never larger than the screen, title bar and frame included.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        size = size.boundedTo(room);
        setMaximumSize(maximumSize().boundedTo(screen->availableGeometry().size()));
    }
    resize(size.expandedTo(minimumSizeHint().boundedTo(size)));
}

// The file's name in the title, as desktop applications show their document, with
// the mark of unsaved changes; the whole path beside Save & Exit.
void EditorDialog::ShowFileName()
{
    const QString path = LmhostsPath();
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] \u2014 Marlox LMHOSTS Editor"));
    form_.pathLabel->setToolTip(path);
    form_.pathLabel->setAccessibleName(path);
    form_.pathLabel->setText(path);
}

void EditorDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const QString path = form_.pathLabel->toolTip();
    form_.pathLabel->setText(form_.pathLabel->fontMetrics().elidedText(
        path, Qt::ElideMiddle, std::max(0, form_.pathLabel->width())));
}

// Wide enough for the texts the columns are made for, whatever the font: the
// design's 100 pixels grow with it.
void EditorDialog::SizeListColumns()
{
    const QFontMetrics metrics = form_.hostList->fontMetrics();
    const int padding = 4 * metrics.averageCharWidth();
    const int scaled = 100 * std::max(metrics.height(), 13) / 13;
    const int address = metrics.horizontalAdvance(QStringLiteral("192.168.100.200")) + padding;
    const int name = 15 * metrics.averageCharWidth() + padding +
                     form_.hostList->style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int widths[HostListModel::kColumnCount] = {std::max(scaled, name), scaled,
                                                     std::max(scaled, address), scaled, scaled};
    for (int column = 0; column < HostListModel::kColumnCount; ++column)
        form_.hostList->setColumnWidth(column, widths[column]);
}

// Every notification the window reacts to, and who handles it.
void EditorDialog::WireEvents()
{
    connect(form_.aboutAction, &QAction::triggered, this, &EditorDialog::OnAbout);
    connect(form_.domainEdit, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(form_.newButton, &QPushButton::clicked, this, &EditorDialog::OnNewEntry);
    connect(form_.deleteButton, &QPushButton::clicked, this, &EditorDialog::OnDeleteEntry);
    connect(form_.saveButton, &QPushButton::clicked, this, &EditorDialog::OnSaveAndExit);
    connect(form_.lookupButton, &QPushButton::clicked, this, &EditorDialog::OnLookup);
    // Clicks anywhere in the list, empty area included, and keys before the list
    // moves its selection: both through eventFilter.
    form_.hostList->viewport()->installEventFilter(this);
    form_.hostList->installEventFilter(this);
    connect(form_.hostnameEdit, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(form_.preloadCheck, &QCheckBox::clicked, this, &EditorDialog::OnFieldChanged);
    connect(form_.commentEdit, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    for (QLineEdit* edit : form_.octetEdits)
        connect(edit, &QLineEdit::textChanged, this, &EditorDialog::OnFieldChanged);
    connect(form_.hostList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditorDialog::OnListEvent);
    connect(form_.closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(form_.dnsLookupAction, &QAction::triggered, this, &EditorDialog::OnLookup);
    connect(form_.netbiosLookupAction, &QAction::triggered, this, &EditorDialog::OnNetbiosLookup);
    connect(form_.findAction, &QAction::triggered, form_.findBar, &FindBar::open);
    connect(form_.findBar, &FindBar::findRequested, this, &EditorDialog::OnFind);
    connect(form_.findNextAction, &QAction::triggered, this, [this] { OnFindAgain(true); });
    connect(form_.findPreviousAction, &QAction::triggered, this, [this] { OnFindAgain(false); });
    connect(form_.findBar, &FindBar::closed, this, [this] { FocusControl(IdHostList); });
    connect(form_.warningSummary, &QPushButton::clicked, this, &EditorDialog::OnNextWarning);
    connect(form_.nextWarningAction, &QAction::triggered, this, &EditorDialog::OnNextWarning);
    connect(list_.model(), &HostListModel::warningsChanged, this,
            &EditorDialog::ShowWarningSummary);
}

bool EditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == form_.hostList && event->type() == QEvent::KeyPress) {
        // The Delete key does what the Delete button does, where the button could.
        const bool deleteKey = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
                               form_.deleteButton->isEnabled();
        OnListEvent();
        if (deleteKey) {
            OnDeleteEntry();
            return true;
        }
    } else if (watched == form_.hostList->viewport() && event->type() == QEvent::MouseButtonRelease)
        OnListEvent();
    return QDialog::eventFilter(watched, event);
}

void EditorDialog::contextMenuEvent(QContextMenuEvent* event)
{
    if (!actions().contains(form_.aboutAction))
        return QDialog::contextMenuEvent(event);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("windowMenu"));
    menu.setSeparatorsCollapsible(false);
    menu.addSeparator();
    menu.addAction(form_.aboutAction);
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
        form_.aboutAction->setText(aboutText);
        addAction(form_.aboutAction);
    }

    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/marlox-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/marlox-16.png"), QSize(16, 16));
    setWindowIcon(icon);

    logic_.InsertListColumns();
    SizeListColumns();

    try {
        LoadHostTable(logic_.table());
    } catch (const FileError& error) {
        // The window opens empty and ready for new entries; Save & Exit then
        // creates the file.
        ShowMessage(this, FileErrorText(error), QMessageBox::Warning);
        return;
    }

    logic_.ShowLoadedTable();
}

void EditorDialog::OnAbout()
{
    AboutDialog about(this);
    about.exec();
}

void EditorDialog::OnFieldChanged()
{
    if (transferring_)
        return;
    logic_.OnFieldChanged();
    if (logic_.currentEntry() != -1)
        setWindowModified(true);
}

void EditorDialog::OnNewEntry()
{
    logic_.OnNewEntry();
    setWindowModified(true);
}

void EditorDialog::OnDeleteEntry()
{
    // The entry the deletion takes: the selected one, as the logic picks it.
    const int size = logic_.table().size();
    const int row = list_.firstSelectedRow();
    const int entry = list_.entryIndexOfRow(row == -1 ? 0 : row);
    logic_.OnDeleteEntry();
    if (logic_.table().size() == size - 1) {
        nameLimits_.EntryRemoved(entry);
        setWindowModified(true);
    }
}

void EditorDialog::OnListEvent()
{
    logic_.OnListEvent();
}

void EditorDialog::OnLookup()
{
    RunLookup(&LookUpName);
}

void EditorDialog::OnNetbiosLookup()
{
    RunLookup(&LookUpNetbiosName);
}

void EditorDialog::RunLookup(LookupOutcome (*lookUp)(const std::array<std::int32_t, 4>&,
                                                     NameResolver&))
{
    // Busy from the question until the controls show the answer; not while a failed
    // check before it tells the user.
    std::optional<OverrideCursor> wait;
    logic_.OnLookup([this, &wait, lookUp](const HostEntry& fields) -> std::optional<std::string> {
        wait.emplace(Qt::WaitCursor);
        const std::array<std::int32_t, 4> octets = {fields.octet1, fields.octet2, fields.octet3,
                                                    fields.octet4};
        // A slow name service must not leave a window that stops repainting.
        LookupOutcome outcome =
            RunInBackground([this, lookUp, &octets] { return lookUp(octets, resolver_); });
        if (outcome.found())
            return std::move(outcome.hostname);
        // The box waits for the user: a busy cursor over it would look like a hang.
        OverrideCursor arrow(Qt::ArrowCursor);
        ShowMessage(this,
                    outcome.address.empty()
                        ? LoadString(outcome.messageId)
                        : FormatString(outcome.messageId, QString::fromStdString(outcome.address)));
        return std::nullopt;
    });
}

int EditorDialog::CurrentRow() const
{
    const int row = list_.firstSelectedRow();
    return row != -1 ? row : form_.hostList->currentIndex().row();
}

void EditorDialog::SelectRowAsClick(int row)
{
    form_.hostList->selectionModel()->setCurrentIndex(list_.model()->index(row, 0),
                                                      QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    // What the click's mouse release adds.
    OnListEvent();
    form_.hostList->scrollTo(form_.hostList->currentIndex());
}

void EditorDialog::OnFind(const QString& text, bool forward, bool again)
{
    const int current = CurrentRow();
    // A new text may match the row already selected.
    const int row = FindRow(*list_.model(), text, again ? current : current - 1, forward);
    if (row != -1)
        SelectRowAsClick(row);
}

void EditorDialog::OnFindAgain(bool forward)
{
    if (form_.findBar->isVisible())
        OnFind(form_.findBar->text(), forward, true);
}

void EditorDialog::OnNextWarning()
{
    const HostListModel& model = *list_.model();
    if (model.warnings().entriesWithWarnings() == 0)
        return;
    const int rows = model.rowCount();
    const int current = CurrentRow();
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (model.data(model.index(row, 0), HostListModel::kWarningRole).toBool()) {
            FocusControl(IdHostList);
            SelectRowAsClick(row);
            return;
        }
    }
}

void EditorDialog::ShowWarningSummary()
{
    const HostListModel& model = *list_.model();
    const int count = model.warnings().count();
    form_.warningSummary->setVisible(count > 0);
    if (count == 0)
        return;
    form_.warningSummary->setText(count == 1
                                      ? LoadString(StrWarningCountOne)
                                      : FormatString(StrWarningCount, QLocale().toString(count)));
    QString tip = LoadString(StrNextWarningTip);
    const QString fileWarnings = model.fileWarningTexts();
    if (!fileWarnings.isEmpty())
        tip += QStringLiteral("\n\n") + fileWarnings;
    // Server names from the file are text, not markup.
    form_.warningSummary->setToolTip(tip.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")));
}

void EditorDialog::OnSaveAndExit()
{
    logic_.SyncSelection();

    try {
        const SaveResult result = SaveHostTable(logic_.table(), SaveMode::CheckFirst);
        // Replacing what we never read, or someone else's edit since the load,
        // is the user's call; both questions default to No.
        if (result != SaveResult::Saved) {
            const int question =
                result == SaveResult::ChangedOnDisk ? StrFileChangedOnDisk : StrReplaceUnreadFile;
            if (!AskYesNo(FormatString(question, LmhostsPath())))
                return;
            SaveHostTable(logic_.table(), SaveMode::Overwrite);
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

qsizetype EditorDialog::MaxTypedLength(QLineEdit* edit)
{
    if (edit != form_.hostnameEdit && edit != form_.domainEdit)
        return -1;
    nameLimits_.Note(logic_.table());
    const int entry = logic_.currentEntry();
    return edit == form_.hostnameEdit ? nameLimits_.hostnameLimit(entry)
                                      : nameLimits_.domainLimit(entry);
}

void EditorDialog::TransferToControls()
{
    const bool wasTransferring = std::exchange(transferring_, true);
    const HostEntry& fields = logic_.fields();

    ShowText(form_.hostnameEdit, fields.hostname);
    const std::int32_t octets[4] = {fields.octet1, fields.octet2, fields.octet3, fields.octet4};
    for (int i = 0; i < 4; ++i)
        form_.octetEdits[i]->setText(QString::number(octets[i]));
    ShowText(form_.domainEdit, fields.domain);
    form_.preloadCheck->setChecked(fields.preload);
    ShowText(form_.commentEdit, fields.comment);

    transferring_ = wasTransferring;
}

bool EditorDialog::TransferFromControls()
{
    const bool wasTransferring = std::exchange(transferring_, true);
    HostEntry& fields = logic_.fields();
    std::int32_t* const octets[4] = {&fields.octet1, &fields.octet2, &fields.octet3,
                                     &fields.octet4};

    bool ok = TransferText(form_.hostnameEdit, fields.hostname);
    for (int i = 0; ok && i < 4; ++i)
        ok = TransferOctet(form_.octetEdits[i], *octets[i]);
    ok = ok && TransferText(form_.domainEdit, fields.domain);
    if (ok)
        fields.preload = form_.preloadCheck->isChecked();
    ok = ok && TransferText(form_.commentEdit, fields.comment);

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
    const qsizetype limit = MaxTypedLength(edit);
    if (limit >= 0 && text.size() > limit)
        return FailTransfer(edit, LoadString(StrEnterShortText));
    return true;
}

bool EditorDialog::TransferOctet(QLineEdit* edit, std::int32_t& field)
{
    const OctetReading reading = ReadOctet(edit->text());
    if (reading.stored())
        field = reading.value;
    if (reading.verdict != OctetReading::Verdict::Octet)
        return FailTransfer(edit, LoadString(reading.messageId()));
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
        return form_.saveButton;
    case IdClose:
        return form_.closeButton;
    case IdNew:
        return form_.newButton;
    case IdDelete:
        return form_.deleteButton;
    case IdPreload:
        return form_.preloadCheck;
    case IdDomain:
        return form_.domainEdit;
    case IdHostname:
        return form_.hostnameEdit;
    case IdOctet1:
        return form_.octetEdits[0];
    case IdOctet2:
        return form_.octetEdits[1];
    case IdOctet3:
        return form_.octetEdits[2];
    case IdOctet4:
        return form_.octetEdits[3];
    case IdComment:
        return form_.commentEdit;
    case IdLookup:
        return form_.lookupButton;
    case IdHostList:
        return form_.hostList;
    }
    return nullptr;
}

void EditorDialog::EnableControl(ControlId id, bool enable)
{
    if (QWidget* widget = control(id))
        widget->setEnabled(enable);
    // The other lookups go with the Lookup button.
    if (id == IdLookup) {
        form_.lookupMenuButton->setEnabled(enable);
        form_.dnsLookupAction->setEnabled(enable);
        form_.netbiosLookupAction->setEnabled(enable);
    }
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
