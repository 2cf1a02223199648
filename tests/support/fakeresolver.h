#pragma once

#include "nameresolver.h"

#include <QString>
#include <QStringList>

#include <functional>

// A name service that answers what the test tells it and remembers what it was asked.
class FakeResolver : public NameResolver
{
public:
    explicit FakeResolver(LookupResult answer = {LookupStatus::HostNotFound, {}})
        : answer(std::move(answer))
    {
    }

    bool Prepare() override
    {
        ++prepareCalls;
        return prepares;
    }
    LookupResult ReverseLookup(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                               std::uint8_t d) override
    {
        asked << QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d);
        if (whileAsked)
            whileAsked();
        return answer;
    }

    LookupResult answer;
    bool prepares = true;
    int prepareCalls = 0;
    QStringList asked; // "a.b.c.d", in turn
    // Runs while the service is being asked, e.g. to look at the cursor.
    std::function<void()> whileAsked;
};
