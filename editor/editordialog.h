#pragma once

#include "editordialogops.h"
#include "editorform.h"
#include "editorlogic.h"
#include "fieldrules.h"
#include "hostlistcontrol.h"
#include "hostlistmodel.h"

#include <QDialog>
#include <QMessageBox>

#include <array>
#include <cstdint>
#include <functional>

class NameResolver;
struct LookupOutcome;
class QLineEdit;

// A modal message box with the program's caption. Every box of the program goes
// through here.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Answers message boxes in place of the user, for tests: ShowMessage hands it the box,
// built and ready, instead of running it, and returns its answer. Empty (the start):
// the user answers.
using MessageAnswerer = std::function<QMessageBox::StandardButton(QMessageBox& box)>;
void SetMessageAnswerer(MessageAnswerer answerer);

// The program's main window: the sorted host list above, the fields of the entry
// being edited below, and the commands that add, delete, look up and save.
class EditorDialog : public QDialog, public EditorDialogOps
{
    Q_OBJECT

public:
    explicit EditorDialog(NameResolver& resolver, QWidget* parent = nullptr);
    ~EditorDialog() override;

    // Loads the file and shows it, then runs the dialog until Save & Exit or Close.
    int DoModal();
    // Loads the file into the window. DoModal runs it; callers that show the window
    // themselves (tests, the screenshot tool) run it once before showing.
    void OnInitDialog();

    EditorLogic& logic() { return logic_; }

    void TransferToControls() override;
    bool TransferFromControls() override;
    void EnableControl(ControlId id, bool enable) override;
    void FocusControl(ControlId id) override;
    bool AskYesNo(const QString& question) override;

    // The control with that id.
    QWidget* control(ControlId id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ConnectModel();
    void WireEvents();
    void ApplyDesignSize();
    void ShowFileName();
    void SizeListColumns();

    void OnAbout();
    void OnFieldChanged();
    void OnNewEntry();
    void OnDeleteEntry();
    void OnSaveAndExit();
    void OnLookup();
    void OnNetbiosLookup();
    // The Lookup button's way, with `lookUp` asking the resolver off the UI thread.
    void RunLookup(LookupOutcome (*lookUp)(const std::array<std::int32_t, 4>&, NameResolver&));
    void OnFind(const QString& text, bool forward, bool again);
    void OnFindAgain(bool forward);
    void OnNextWarning();
    void ShowWarningSummary();
    // The selected row, else the list's current one, else -1.
    int CurrentRow() const;
    // Selects the row and makes its entry the one being edited, as a click on it does.
    void SelectRowAsClick(int row);
    void OnListEvent();

    bool TransferText(QLineEdit* edit, std::string& field);
    bool TransferOctet(QLineEdit* edit, std::int32_t& field);
    bool FailTransfer(QWidget* control, const QString& message);
    // What the edit shows for a text's bytes: the whole text, or when it is too
    // long to edit its beginning; `shortened` tells which.
    QString ShownText(const std::string& bytes, bool* shortened = nullptr) const;
    void ShowText(QLineEdit* edit, const std::string& bytes);
    // Longest text the transfer takes from an edit: the name limits for the entry
    // being edited, -1 (any length) for the comment.
    qsizetype MaxTypedLength(QLineEdit* edit);

    NameResolver& resolver_;

    EditorForm form_;
    // The table first: the list and the logic show and edit it.
    HostTable table_;
    HostListControl list_;
    EditorLogic logic_;

    // Set while a transfer writes or reads the controls: the change notifications
    // it causes are not the user's.
    bool transferring_ = false;
    // Noted at the first transfer, before any edit has reached the table.
    NameLimits nameLimits_;
};
