#include "hostlistmodel.h"

#include "hosttable.h"
#include "lmhostsline.h"
#include "stringtable.h"
#include "textcodec.h"
#include "warningtexts.h"

#include <algorithm>

namespace
{

// Wider than any column a screen can show; a cell's text is laid out whole at
// every paint, so a megabyte text would freeze the list.
constexpr qsizetype kMaxCellChars = 1000;

QString FormatAddress(const HostEntry& e)
{
    // "%i.%i.%i.%i": octets as stored, also outside 0..255.
    QString text;
    text.reserve(15);
    text += QString::number(e.octet1);
    text += u'.';
    text += QString::number(e.octet2);
    text += u'.';
    text += QString::number(e.octet3);
    text += u'.';
    text += QString::number(e.octet4);
    return text;
}

} // namespace

QString ShortenedText(std::string_view bytes, TextEncoding encoding, qsizetype maxChars,
                      bool* shortened)
{
    if (shortened)
        *shortened = false;
    // A character takes at least one byte, and a UTF-8 one at most four.
    const std::size_t enough =
        static_cast<std::size_t>(maxChars) * (encoding == TextEncoding::Utf8 ? 4 : 1) + 1;
    if (bytes.size() <= static_cast<std::size_t>(maxChars))
        return DecodeText(bytes, encoding);
    std::size_t cut = std::min(bytes.size(), enough);
    if (encoding == TextEncoding::Utf8 && cut < bytes.size()) {
        // Not inside a character: its bytes after the cut would decode as a wrong one.
        for (int back = 0;
             back < 3 && cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80; ++back)
            --cut;
    }
    QString text = DecodeText(bytes.substr(0, cut), encoding);
    if (cut == bytes.size() && text.size() <= maxChars)
        return text;
    qsizetype keep = std::min(text.size(), maxChars - 1);
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    text.truncate(keep);
    text += QChar(0x2026);
    if (shortened)
        *shortened = true;
    return text;
}

HostListModel::HostListModel(const HostTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), collator_(QLocale())
{
}

int HostListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HostListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant HostListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[index.column()].alignment | Qt::AlignVCenter);
    case Qt::UserRole:
        return rows_[index.row()].entry;
    case kWarningRole:
        return index.column() == 0 && !warnings_.of(rows_[index.row()].entry).empty();
    case Qt::ToolTipRole:
        return rowToolTip(index.row());
    default:
        return {};
    }
}

QVariant HostListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return columns_[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
    return {};
}

void HostListModel::setColumn(int column, const QString& title, int width, Qt::Alignment alignment)
{
    if (column < 0 || column >= kColumnCount)
        return;
    columns_[column] = Column{title, width, alignment};
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (!rows_.empty())
        emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::TextAlignmentRole});
}

int HostListModel::columnWidth(int column) const
{
    return column >= 0 && column < kColumnCount ? columns_[column].width : 0;
}

QString HostListModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount)
        return {};
    const Row& r = rows_[row];
    if (column == 0 && r.ownText >= 0)
        return ownTexts_[r.ownText];
    if (r.shown < 0 || r.shown >= table_.size())
        return {};
    const HostEntry& e = table_.at(r.shown);
    switch (column) {
    case 0:
        return DecodeText(e.hostname, table_.encoding());
    case 1:
        return DecodeText(e.domain, table_.encoding());
    case 2:
        return FormatAddress(e);
    case 3:
        return LoadString(e.preload ? StrPreloadYes : StrPreloadNo);
    default:
        return DecodeText(e.comment, table_.encoding());
    }
}

QString HostListModel::displayText(int row, int column) const
{
    const Row& r = rows_[row];
    if (column == 2 || column == 3 || (column == 0 && r.ownText >= 0) || r.shown < 0 ||
        r.shown >= table_.size())
        return cellText(row, column);
    const HostEntry& e = table_.at(r.shown);
    const std::string& bytes = column == 0 ? e.hostname : column == 1 ? e.domain : e.comment;
    return ShortenedText(bytes, table_.encoding(), kMaxCellChars);
}

void HostListModel::refill()
{
    const HostTable& table = table_;
    beginResetModel();

    // One sort over precomputed keys; sorting by comparing the texts themselves
    // would run the full collation O(n log n) times. Equal keys keep table order.
    const std::vector<int> order = SortedByHostname(table, collator_);

    rows_.clear();
    rows_.shrink_to_fit();
    rows_.reserve(order.size());
    for (int entry : order)
        rows_.push_back(Row{entry, entry, -1});
    ownTexts_.clear();
    rowOfEntry_.assign(order.size(), -1);
    noteRowsFrom(0);
    const LoadedFile& file = table.file();
    warnings_.rebuild(table, std::string_view(file.bytes().data(), file.bytes().size()));
    endResetModel();
    emit warningsChanged();
}

int HostListModel::insertSortedRow(const QString& firstColumnText, int entryIndex)
{
    if (entryIndex < 0)
        return -1;
    // After every row that does not sort behind the new text, so that equal texts
    // keep the order of their insertion.
    int low = 0;
    int high = rowCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (collator_.compare(firstColumnText, cellText(mid, 0)) < 0)
            high = mid;
        else
            low = mid + 1;
    }
    const int row = low;

    beginInsertRows({}, row, row);
    ownTexts_.push_back(firstColumnText);
    rows_.insert(rows_.begin() + row, Row{entryIndex, -1, static_cast<int>(ownTexts_.size()) - 1});
    if (static_cast<std::size_t>(entryIndex) >= rowOfEntry_.size())
        rowOfEntry_.resize(static_cast<std::size_t>(entryIndex) + 1, -1);
    noteRowsFrom(row);
    const bool newEntry = entryIndex < table_.size();
    if (newEntry)
        warnings_.entryChanged(table_, entryIndex);
    endInsertRows();
    if (newEntry)
        warningsUpdated(row);
    return row;
}

void HostListModel::showEntryInRow(int row, int entryIndex)
{
    const HostTable& table = table_;
    if (row < 0 || row >= rowCount())
        return;
    rows_[row].shown = entryIndex;
    rows_[row].ownText = -1;
    const bool known = entryIndex >= 0 && entryIndex < table.size();
    if (known)
        warnings_.entryChanged(table, entryIndex);
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1),
                     {Qt::DisplayRole, kWarningRole, Qt::ToolTipRole});
    if (known)
        warningsUpdated(row);
}

void HostListModel::warningsUpdated(int rowDone)
{
    // Entries sharing the name may have gained or lost a warning too.
    for (int entry : warnings_.lastChanged()) {
        const int row = rowOfEntry(entry);
        if (row >= 0 && row != rowDone)
            emit dataChanged(index(row, 0), index(row, 0), {kWarningRole, Qt::ToolTipRole});
    }
    emit warningsChanged();
}

QString HostListModel::rowToolTip(int row) const
{
    const int entry = rows_[row].entry;
    if (entry >= table_.size())
        return {};
    QStringList lines;
    for (const Warning& warning : warnings_.of(entry))
        lines << WarningText(table_, entry, warning);
    // Words of the file's line that no column shows (#MH, a trailing remark).
    const std::size_t line = table_.fileLineOf(entry);
    if (line != HostTable::kNoLine) {
        const LoadedFile& file = table_.file();
        const std::string_view bytes(file.bytes().data(), file.bytes().size());
        const std::size_t start = file.entryLineStart(line);
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        if (end > start && bytes[end - 1] == '\r')
            --end;
        const std::string unused = UnusedWords(bytes.substr(start, end - start));
        if (!unused.empty())
            lines << FormatString(StrAlsoOnLine,
                                  ShortenedText(unused, table_.encoding(), kMaxCellChars));
    }
    return lines.join(u'\n');
}

QString HostListModel::fileWarningTexts() const
{
    QStringList lines;
    for (const FileWarning& warning : warnings_.fileWarnings())
        lines << FileWarningText(warning, table_.encoding());
    return lines.join(u'\n');
}

int HostListModel::entryIndexOfRow(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[row].entry : -1;
}

int HostListModel::rowOfEntry(int entryIndex) const
{
    if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= rowOfEntry_.size())
        return -1;
    return rowOfEntry_[entryIndex];
}

void HostListModel::noteRowsFrom(int row)
{
    for (int r = row; r < rowCount(); ++r)
        rowOfEntry_[rows_[r].entry] = r;
}
