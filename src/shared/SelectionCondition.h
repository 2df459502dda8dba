#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// A Selection's condition as rows a window edits: a field, a test and a value, or a question asked
// when the Selection runs ("??"), the rows joined by all or any of them. Written in the dialect the
// Selections run in, and read back only from exactly that form: any other condition stays text.
class SelectionCondition
{
public:
    enum class Test { Contains, Is, StartsWith, EndsWith, Between, IsEmpty, IsNotEmpty };

    struct Row
    {
        QString field = QStringLiteral("Artist");
        Test test = Test::Contains;
        QString value;
        QString value2; // the upper end of Between
        bool ask = false;
        bool operator==(const Row&) const = default;
    };

    QList<Row> rows;
    bool any = false; // joined by Or, else by And
    bool operator==(const SelectionCondition&) const = default;

    // The fields a row may test, as the display's statement names them.
    static const QStringList& fields();
    // "contains", "is", "starts with", ...
    static QString testName(Test test);

    QString text() const;
    static std::optional<SelectionCondition> read(const QString& condition);
};
