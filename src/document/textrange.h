#pragma once

#include <QtGlobal>

/// A half-open range [from, to) of positions in a text.
struct TextRange
{
    qsizetype from = 0;
    qsizetype to = 0;

    qsizetype length() const { return to - from; }
    bool operator==(const TextRange &) const = default;
};
