#include "warningtexts.h"

#include "hosttable.h"
#include "stringtable.h"
#include "textcodec.h"

#include <QStringList>

namespace
{

// As typed, also outside 0..255: the address is how the user finds the entry.
QString Address(const HostEntry& e)
{
    return QStringLiteral("%1.%2.%3.%4").arg(e.octet1).arg(e.octet2).arg(e.octet3).arg(e.octet4);
}

// The fields of the line as Windows will read them, where they differ from the
// entry, in the order of the line.
QString ReadBack(const HostEntry& e, TextEncoding encoding)
{
    const std::optional<HostEntry> read = ReadBackIfDifferent(e);
    if (!read)
        return {};
    QStringList fields;
    if (read->octet1 != e.octet1 || read->octet2 != e.octet2 || read->octet3 != e.octet3 ||
        read->octet4 != e.octet4)
        fields += FormatString(StrReadBackAddress, Address(*read));
    if (read->hostname != e.hostname)
        fields += FormatString(StrReadBackName, DecodeText(read->hostname, encoding));
    if (read->preload != e.preload)
        fields += LoadString(read->preload ? StrReadBackPreload : StrReadBackNoPreload);
    if (read->domain != e.domain)
        fields += FormatString(StrReadBackDomain, DecodeText(read->domain, encoding));
    if (read->comment != e.comment)
        fields += FormatString(StrReadBackComment, DecodeText(read->comment, encoding));
    return fields.join(QStringLiteral(", "));
}

} // namespace

QString WarningText(const HostTable& table, int entry, const Warning& warning)
{
    const HostEntry& e = table.at(entry);
    switch (warning.kind) {
    case WarningKind::NameTooLong:
    case WarningKind::ServiceNameLength:
        return FormatString(warning.kind == WarningKind::NameTooLong ? StrWarnNameTooLong
                                                                     : StrWarnServiceNameLength,
                            QString::number(NetbiosNameLength(e.hostname)));
    case WarningKind::EmptyName:
        return LoadString(StrWarnEmptyName);
    case WarningKind::DuplicateUsed:
        if (warning.others > 1)
            return FormatString(StrWarnDuplicateUsedMany, Address(table.at(warning.other)),
                                QString::number(warning.others));
        return FormatString(StrWarnDuplicateUsed, Address(table.at(warning.other)));
    case WarningKind::DuplicateUnused:
        return FormatString(StrWarnDuplicateUnused, Address(table.at(warning.other)));
    case WarningKind::DomainWithoutPreload:
        return LoadString(StrWarnDomainWithoutPreload);
    case WarningKind::LineReadsOtherwise:
        return FormatString(StrWarnLineReadsAs, ReadBack(e, table.encoding()));
    case WarningKind::OctetOutOfRange:
        return FormatString(StrWarnOctetOutOfRange, Address(e));
    }
    return {};
}

QString FileWarningText(const FileWarning& warning, TextEncoding encoding)
{
    return FormatString(StrWarnIncludeServer, QString::number(warning.line),
                        DecodeText(warning.server, encoding));
}
