#pragma once

#include <Qt>

// Puts a cursor shape over the whole application for its lifetime. Guards nest.
class OverrideCursor
{
public:
    explicit OverrideCursor(Qt::CursorShape shape);
    ~OverrideCursor();
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};
