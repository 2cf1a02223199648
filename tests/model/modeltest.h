#pragma once

// Helpers the model tests share: bytes in and out of Qt types, entries, and a
// table read from and written to bytes.

#include "hostentry.h"
#include "hosttable.h"
#include "lmhostsdocument.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

inline std::string Bytes(const QByteArray& a)
{
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

inline QByteArray Qb(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A literal with NUL bytes in it, all of it.
template <std::size_t N> QByteArray Raw(const char (&s)[N])
{
    return QByteArray(s, N - 1);
}

inline HostEntry Entry(std::string name, int o1, int o2, int o3, int o4, bool preload = false,
                       const char* domain = "", const char* comment = "")
{
    HostEntry e;
    e.hostname = std::move(name);
    e.domain = domain;
    e.comment = comment;
    e.octet1 = o1;
    e.octet2 = o2;
    e.octet3 = o3;
    e.octet4 = o4;
    e.preload = preload;
    return e;
}

inline QString Describe(const HostEntry& e)
{
    return QStringLiteral("%1.%2.%3.%4 name[%5] dom[%6] com[%7] pre=%8")
        .arg(e.octet1)
        .arg(e.octet2)
        .arg(e.octet3)
        .arg(e.octet4)
        .arg(QString::fromLatin1(e.hostname), QString::fromLatin1(e.domain),
             QString::fromLatin1(e.comment))
        .arg(e.preload);
}

inline HostTable Read(const QByteArray& bytes)
{
    HostTable table;
    ReadHostTable(Bytes(bytes), table);
    return table;
}

inline QByteArray Write(const HostTable& table)
{
    return Qb(WriteHostTable(table));
}
