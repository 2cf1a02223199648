#pragma once

class QAction;
class QCheckBox;
class QDialog;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QPushButton;
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
    // F1 and the window menu's entry; its text comes with the string table.
    QAction* aboutAction = nullptr;
};

// Creates the main window's controls on `dialog`: names, texts, tab order, mnemonics
// and layout. The list is left without a model.
EditorForm BuildEditorForm(QDialog& dialog);
