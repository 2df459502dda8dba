#pragma once

#include <QString>
#include <QStringList>

// Splits one string into pieces at every occurrence of any character of a separator set. No
// trimming, quoting or escaping: joining the pieces with the separators that stood between them
// gives back the source exactly.
class CStrParse
{
public:
    CStrParse();

    void parse();
    QString Substring(int p_iIndex) const;

    QString SourceString() const;
    void setSourceString(const QString& p_sSourceString);

    QString SubstringCount() const;

    QString Separators() const;
    void setSeparators(const QString& p_sSeparators);

private:
    void BuildSeparatorList();

    QString m_sSourceString;
    QString m_sSeparators;
    QList<QChar> m_asSeparatorChars;
    int m_iSubstringCount = 0;
    QStringList m_asSubstrings;
};
