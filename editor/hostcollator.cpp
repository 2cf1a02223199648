#include "hostcollator.h"

#include <unicode/ucol.h>

#include <QByteArray>

namespace
{

QByteArray IcuLocaleName(const QLocale& locale)
{
    // QCollator compares code points under the C locale; the untranslated program
    // is English, so collate as English there.
    return locale.language() == QLocale::C ? QByteArrayLiteral("en_US") : locale.name().toLatin1();
}

} // namespace

HostCollator::HostCollator(const QLocale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(IcuLocaleName(locale).constData(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator_ = ucol_open("", &status); // root order
    }
    if (!collator_)
        return;
    // Secondary strength: letters and accents count, case does not.
    ucol_setStrength(collator_, UCOL_SECONDARY);
    ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
}

std::unique_ptr<HostCollator> HostCollator::clone() const
{
    std::unique_ptr<HostCollator> copy(new HostCollator);
    UErrorCode status = U_ZERO_ERROR;
    if (collator_)
        copy->collator_ = ucol_clone(collator_, &status);
    return copy;
}

HostCollator::~HostCollator()
{
    if (collator_)
        ucol_close(collator_);
}

int HostCollator::compare(QStringView a, QStringView b) const
{
    a = a.left(kKeyChars);
    b = b.left(kKeyChars);
    if (!collator_)
        return a.compare(b, Qt::CaseInsensitive);
    return ucol_strcoll(collator_, a.utf16(), static_cast<int32_t>(a.size()), b.utf16(),
                        static_cast<int32_t>(b.size()));
}

void HostCollator::appendSortKey(QStringView text, std::string& out) const
{
    text = text.left(kKeyChars);
    if (!collator_) {
        out += text.toString().toCaseFolded().toUtf8().toStdString();
        out += '\0';
        return;
    }
    const auto length = static_cast<int32_t>(text.size());
    const std::size_t at = out.size();
    out.resize(at + 64);
    auto* buffer = reinterpret_cast<uint8_t*>(out.data() + at);
    int32_t needed = ucol_getSortKey(collator_, text.utf16(), length, buffer, 64);
    if (needed > 64) {
        out.resize(at + static_cast<std::size_t>(needed));
        buffer = reinterpret_cast<uint8_t*>(out.data() + at);
        needed = ucol_getSortKey(collator_, text.utf16(), length, buffer, needed);
    }
    out.resize(at + static_cast<std::size_t>(needed));
}
