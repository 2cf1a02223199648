#pragma once

#include "hostcollator.h"
#include "hostlist.h"
#include "hostwarnings.h"
#include "textencoding.h"

#include <QAbstractTableModel>

#include <array>
#include <string_view>
#include <vector>

class HostTable;

// The text of `bytes` when it has at most `maxChars` characters; otherwise its
// first characters followed by "…", and `shortened` set. Decodes only the bytes
// it shows, so a text of many megabytes costs no more than a short one.
QString ShortenedText(std::string_view bytes, TextEncoding encoding, qsizetype maxChars,
                      bool* shortened = nullptr);

// The host list's rows. A row holds only its entry index and which entry's values
// it shows; the cell texts are read from the table when asked for, so the list
// costs a few bytes per entry. Rows are placed in collation order of their first
// column when inserted and never move afterwards.
class HostListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = 5;
    // Column 0: true when Windows will read the row's entry otherwise than shown.
    static constexpr int kWarningRole = Qt::UserRole + 1;

    // Shows `table`, which outlives the model.
    explicit HostListModel(const HostTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Qt::DisplayRole: the cell text, shortened when long; Qt::TextAlignmentRole: the column's
    // alignment; Qt::UserRole: the row's entry index; kWarningRole; Qt::ToolTipRole: the
    // row's warnings and the words its line keeps that no column shows.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setColumn(int column, const QString& title, int width, Qt::Alignment alignment);
    // Width in pixels for the view; 0 until the column is set.
    int columnWidth(int column) const;

    void refill();
    int insertSortedRow(const QString& firstColumnText, int entryIndex);
    void showEntryInRow(int row, int entryIndex);

    // The cell's whole text.
    QString cellText(int row, int column) const;
    int entryIndexOfRow(int row) const;
    int rowOfEntry(int entryIndex) const;

    // Kept in step with the rows: built with them, and updated for a row rewritten
    // or a row added.
    const HostWarnings& warnings() const { return warnings_; }
    // The texts of the file's own warnings (an #INCLUDE), one a line.
    QString fileWarningTexts() const;

signals:
    void warningsChanged();

private:
    struct Row {
        int entry;   // the row's item data
        int shown;   // entry whose values the cells show; -1: none
        int ownText; // index into ownTexts_ of a first-column text of its own; -1: none
    };
    struct Column {
        QString title;
        int width = 0;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    void noteRowsFrom(int row);
    QString displayText(int row, int column) const;
    QString rowToolTip(int row) const;
    void warningsUpdated(int rowDone);

    std::vector<Row> rows_;
    std::vector<int> rowOfEntry_;
    std::vector<QString> ownTexts_;
    std::array<Column, kColumnCount> columns_;
    const HostTable& table_;
    HostCollator collator_;
    HostWarnings warnings_;
};
