#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A compiled pattern of Jet's LIKE: * (any run), ? (one character), # (one digit), [list], [!list]
// and ranges [a-z], all without regard to case; a range goes by base letter, so É falls in [a-f].
class JetLike
{
public:
    // Reads the pattern; false with a description in *error for one it cannot read.
    static bool compile(QStringView pattern, JetLike* out, QString* error);

    bool matches(QStringView text) const;

private:
    // One character of a [list] (compared as folded), or a range a-z (compared by base letter).
    struct Range
    {
        char16_t low;
        char16_t high;
        bool isRange;
    };

    struct Element
    {
        enum Kind { AnyRun, One, Digit, Literal, Set };
        Kind kind = Literal;
        char16_t ch = 0;
        bool negated = false;
        QList<Range> ranges;
    };

    static bool matchesOne(const Element& e, QChar c);

    QList<Element> m_elements;
};
