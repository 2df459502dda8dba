#include "store/JetLike.h"

#include "store/JetCollation.h"

bool JetLike::compile(QStringView pattern, JetLike* out, QString* error)
{
    out->m_elements.clear();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        Element e;
        if (c == QLatin1Char('*')) {
            e.kind = Element::AnyRun;
        } else if (c == QLatin1Char('?')) {
            e.kind = Element::One;
        } else if (c == QLatin1Char('#')) {
            e.kind = Element::Digit;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = pattern.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                *error = QStringLiteral("Invalid pattern string: '%1' has an unclosed '['.").arg(pattern.toString());
                return false;
            }
            QStringView body = pattern.mid(i + 1, close - i - 1);
            i = close;
            if (body.isEmpty())
                continue; // "[]" matches the empty string
            e.kind = Element::Set;
            if (body.startsWith(QLatin1Char('!')) && body.size() > 1) {
                e.negated = true;
                body = body.mid(1);
            }
            for (qsizetype k = 0; k < body.size(); ++k) {
                const char16_t low = JetCollation::baseLetter(body[k]);
                if (k + 2 < body.size() && body[k + 1] == QLatin1Char('-')) {
                    const char16_t high = JetCollation::baseLetter(body[k + 2]);
                    if (high < low) {
                        *error = QStringLiteral("Invalid pattern string: the range '%1' in '%2' runs backwards.")
                                     .arg(body.mid(k, 3).toString(), pattern.toString());
                        return false;
                    }
                    e.ranges.append({low, high, true});
                    k += 2;
                } else {
                    e.ranges.append({JetCollation::fold(body[k]), JetCollation::fold(body[k]), false});
                }
            }
        } else {
            e.ch = JetCollation::fold(c);
        }
        out->m_elements.append(e);
    }
    return true;
}

bool JetLike::matchesOne(const Element& e, QChar c)
{
    switch (e.kind) {
    case Element::One:
        return true;
    case Element::Digit:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    case Element::Literal:
        return JetCollation::fold(c) == e.ch;
    case Element::Set: {
        const char16_t f = JetCollation::fold(c);
        const char16_t base = JetCollation::baseLetter(c);
        bool inSet = false;
        for (const auto& r : e.ranges)
            inSet = inSet || (r.isRange ? base >= r.low && base <= r.high : f == r.low);
        return inSet != e.negated;
    }
    case Element::AnyRun:
        break;
    }
    return false;
}

bool JetLike::matches(QStringView text) const
{
    const QList<Element>& p = m_elements;
    qsizetype pi = 0;
    qsizetype ti = 0;
    qsizetype starP = -1;
    qsizetype starT = -1;
    while (ti < text.size()) {
        if (pi < p.size() && p[pi].kind == Element::AnyRun) {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && matchesOne(p[pi], text[ti])) {
            ++pi;
            ++ti;
        } else if (starP >= 0) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi].kind == Element::AnyRun)
        ++pi;
    return pi == p.size();
}
