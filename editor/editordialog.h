#pragma once

#include "editordialogops.h"
#include "editorlogic.h"
#include "hostlistmodel.h"

#include <QDialog>
#include <QMessageBox>

#include <vector>

class NameResolver;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

// A modal message box with the program's caption.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

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

private:
    void CreateControls();
    void WireEvents();
    void ApplyTemplateSize();

    void OnSysCommand();
    void OnFieldChanged();
    void OnNewEntry();
    void OnDeleteEntry();
    void OnSaveAndExit();
    void OnLookup();
    void OnListEvent();

    bool TransferText(QLineEdit* edit, std::string& field);
    bool TransferOctet(QLineEdit* edit, std::int32_t& field);
    bool FailTransfer(QWidget* control, const QString& message);
    // What the edit shows for a text's bytes: the whole text, or when it is too
    // long to edit its beginning; `shortened` tells which.
    QString ShownText(const std::string& bytes, bool* shortened = nullptr) const;
    void ShowText(QLineEdit* edit, const std::string& bytes);
    // Longest text the transfer takes from a hostname or domain edit; -1: any.
    qsizetype TextLimit(QLineEdit* edit);

    NameResolver& resolver_;

    QTreeView* hostList_ = nullptr;
    QLabel* hostnameLabel_ = nullptr;
    QLineEdit* hostnameEdit_ = nullptr;
    QLabel* addressLabel_ = nullptr;
    QLineEdit* octetEdits_[4] = {};
    QPushButton* lookupButton_ = nullptr;
    QLabel* domainLabel_ = nullptr;
    QLineEdit* domainEdit_ = nullptr;
    QLabel* commentLabel_ = nullptr;
    QLineEdit* commentEdit_ = nullptr;
    QCheckBox* preloadCheck_ = nullptr;
    QPushButton* newButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QAction* aboutAction_ = nullptr;

    HostListControl list_;
    EditorLogic logic_;

    // Set while a transfer writes or reads the controls: the change notifications
    // it causes are not the user's.
    bool transferring_ = false;
    // Hostnames and domains beyond the typing limit as the file has them, in
    // entry order: their lengths are that entry's limits.
    struct LongFileNames {
        int entry;
        qsizetype hostname;
        qsizetype domain;
    };
    std::vector<LongFileNames> longFileNames_;
    bool longNamesNoted_ = false;
};
