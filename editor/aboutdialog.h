#pragma once

#include <QDialog>

// The About box: name, version, languages, ownership, contact. OK and Escape close it.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
