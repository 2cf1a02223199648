#pragma once

class FindBar;
class QAction;
class QCheckBox;
class QDialog;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;

// The window's sizes are designed in dialog units: a quarter of the average character
// width across, an eighth of the font height down, so that they follow the font.
class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics& metrics);
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;

private:
    int alphabetWidth_; // of the 52 letters A-Z and a-z
    int fontHeight_;
};

// The size the main window opens with, in dialog units.
inline constexpr int kEditorWidthUnits = 362;
inline constexpr int kEditorHeightUnits = 255;

// The main window's controls.
struct EditorForm {
    QTreeView* hostList = nullptr;
    QLabel* hostnameLabel = nullptr;
    QLineEdit* hostnameEdit = nullptr;
    QLabel* addressLabel = nullptr;
    QLineEdit* octetEdits[4] = {};
    QPushButton* lookupButton = nullptr;
    QLabel* domainLabel = nullptr;
    QLineEdit* domainEdit = nullptr;
    QLabel* commentLabel = nullptr;
    QLineEdit* commentEdit = nullptr;
    QCheckBox* preloadCheck = nullptr;
    QPushButton* newButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* pathLabel = nullptr; // the open file, elided to fit
    // F1 and the window menu's entry; its text comes with the string table.
    QAction* aboutAction = nullptr;
    // Above the list while open: Ctrl+F opens it, F3 and Shift+F3 go on.
    FindBar* findBar = nullptr;
    QAction* findAction = nullptr;
    QAction* findNextAction = nullptr;
    QAction* findPreviousAction = nullptr;
    // Under the list, hidden without warnings: how many there are; it and F8 go
    // to the next entry with one.
    QPushButton* warningSummary = nullptr;
    QAction* nextWarningAction = nullptr;
    // The small arrow after Lookup: its menu offers both kinds of lookup; the
    // NetBIOS one also has Ctrl+L.
    QToolButton* lookupMenuButton = nullptr;
    QAction* dnsLookupAction = nullptr;
    QAction* netbiosLookupAction = nullptr;
};

// Creates the main window's controls on `dialog`: names, texts, tab order, mnemonics
// and layout. The list is left without a model.
EditorForm BuildEditorForm(QDialog& dialog);
