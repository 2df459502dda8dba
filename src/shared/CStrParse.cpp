#include "shared/CStrParse.h"

CStrParse::CStrParse() : m_sSeparators(QStringLiteral(","))
{
    BuildSeparatorList();
}

void CStrParse::parse()
{
    // Every separator entry that matches records the position, so a separator string that repeats
    // a character yields an empty piece between the two records.
    QList<qsizetype> aiPositions;
    for (qsizetype i = 0; i < m_sSourceString.size(); ++i) {
        const QChar ch = m_sSourceString.at(i);
        for (const QChar sep : m_asSeparatorChars) {
            if (ch == sep)
                aiPositions.append(i);
        }
    }

    QStringList asPieces;
    asPieces.reserve(aiPositions.size() + 1);
    qsizetype iStart = 0;
    for (const qsizetype iPos : aiPositions) {
        asPieces.append(m_sSourceString.mid(iStart, qMax<qsizetype>(0, iPos - iStart)));
        iStart = iPos + 1;
    }
    asPieces.append(m_sSourceString.mid(iStart));

    m_asSubstrings = std::move(asPieces);
    m_iSubstringCount = static_cast<int>(m_asSubstrings.size());
}

QString CStrParse::Substring(int p_iIndex) const
{
    if (p_iIndex < 0 || p_iIndex >= m_iSubstringCount)
        return QString();
    return m_asSubstrings.at(p_iIndex);
}

QString CStrParse::SourceString() const
{
    return m_sSourceString;
}

void CStrParse::setSourceString(const QString& p_sSourceString)
{
    m_sSourceString = p_sSourceString;
}

QString CStrParse::SubstringCount() const
{
    return QString::number(m_iSubstringCount);
}

QString CStrParse::Separators() const
{
    return m_sSeparators;
}

void CStrParse::setSeparators(const QString& p_sSeparators)
{
    m_sSeparators = p_sSeparators;
    BuildSeparatorList();
}

void CStrParse::BuildSeparatorList()
{
    m_asSeparatorChars.clear();
    for (const QChar ch : m_sSeparators)
        m_asSeparatorChars.append(ch);
}
