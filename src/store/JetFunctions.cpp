#include "store/JetFunctions.h"

#include "store/JetCollation.h"
#include "store/JetDate.h"
#include "store/JetLike.h"
#include "store/NumberText.h"

#include <QDateTime>
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// ---- values ---------------------------------------------------------------------------------

bool isNull(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

QStringView textView(sqlite3_value* v)
{
    const auto* data = static_cast<const char16_t*>(sqlite3_value_text16(v));
    return data ? QStringView(data, sqlite3_value_bytes16(v) / 2) : QStringView();
}

QString numberText(double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', 15);
}

QString textOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    default:
        return textView(v).toString();
    }
}

double numberOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return 0;
    default:
        return NumberText::leadingNumber(textView(v));
    }
}

bool isTrue(sqlite3_value* v)
{
    return !isNull(v) && numberOf(v) != 0;
}

void resultText(sqlite3_context* ctx, const QString& text)
{
    sqlite3_result_text16(ctx, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context* ctx, double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9e15)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else if (std::isfinite(d))
        sqlite3_result_double(ctx, d);
    else
        sqlite3_result_null(ctx);
}

void invalidArgument(sqlite3_context* ctx, const char* function)
{
    const QByteArray message = QByteArray("Invalid procedure call or argument in ") + function;
    sqlite3_result_error(ctx, message.constData(), -1);
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (isNull(argv[i]))
            return true;
    }
    return false;
}

// A day number, or a text read as Jet reads a date.
QDate dateOf(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER || sqlite3_value_type(v) == SQLITE_FLOAT)
        return JetDate::fromDayNumber(numberOf(v));
    return JetDate::read(textOf(v));
}

template <int (QDate::*Part)() const>
void datePart(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QDate date = isNull(argv[0]) ? QDate() : dateOf(argv[0]);
    if (date.isValid())
        sqlite3_result_int(ctx, (date.*Part)());
    else
        sqlite3_result_null(ctx);
}

// ---- the functions ---------------------------------------------------------------------------

void fnConcat(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) && isNull(argv[1]))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
}

void fnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_TEXT)
        return resultText(ctx, textOf(argv[0]) + textOf(argv[1]));
    resultNumber(ctx, numberOf(argv[0]) + numberOf(argv[1]));
}

// Mod and integer division work on whole numbers, rounded half to even; past the 64-bit range there is none.
bool wholeNumber(sqlite3_value* v, qint64* n)
{
    const double rounded = std::nearbyint(numberOf(v));
    if (!(std::fabs(rounded) < 9.0e18))
        return false;
    *n = static_cast<qint64>(rounded);
    return true;
}

void fnMod(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    qint64 dividend = 0;
    qint64 divisor = 0;
    if (anyNull(argc, argv) || !wholeNumber(argv[0], &dividend) || !wholeNumber(argv[1], &divisor) || divisor == 0)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, dividend % divisor);
}

void fnIntDiv(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    qint64 dividend = 0;
    qint64 divisor = 0;
    if (anyNull(argc, argv) || !wholeNumber(argv[0], &dividend) || !wholeNumber(argv[1], &divisor) || divisor == 0)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, dividend / divisor);
}

void fnPow(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    resultNumber(ctx, std::pow(numberOf(argv[0]), numberOf(argv[1])));
}

template <QString (*Transform)(const QString&)>
void textFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultText(ctx, Transform(textOf(argv[0])));
}

QString upper(const QString& s)
{
    return s.toUpper();
}
QString lower(const QString& s)
{
    return s.toLower();
}

QString trimLeft(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == QLatin1Char(' '))
        ++i;
    return s.mid(i);
}

QString trimRight(const QString& s)
{
    qsizetype i = s.size();
    while (i > 0 && s.at(i - 1) == QLatin1Char(' '))
        --i;
    return s.left(i);
}

QString trimBoth(const QString& s)
{
    return trimLeft(trimRight(s));
}

// Left(s, n) and Right(s, n): the first or the last n characters.
template <bool FromLeft>
void fnEnd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const double n = numberOf(argv[1]);
    if (n < 0)
        return invalidArgument(ctx, FromLeft ? "Left" : "Right");
    const QString s = textOf(argv[0]);
    const auto count = static_cast<qsizetype>(std::min(n, 1e9));
    resultText(ctx, FromLeft ? s.left(count) : s.right(count));
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const double start = numberOf(argv[1]);
    const double length = argc > 2 ? numberOf(argv[2]) : 1e9;
    if (start < 1 || length < 0)
        return invalidArgument(ctx, "Mid");
    const QString s = textOf(argv[0]);
    resultText(ctx,
               s.mid(static_cast<qsizetype>(std::min(start, 1e9)) - 1, static_cast<qsizetype>(std::min(length, 1e9))));
}

void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, textOf(argv[0]).size());
}

void fnInStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    // InStr([start,] s1, s2 [, compare]): with three arguments the first is the start.
    const int first = argc >= 3 ? 1 : 0;
    const double start = argc >= 3 ? numberOf(argv[0]) : 1;
    if (argc >= 3 && isNull(argv[0]))
        return invalidArgument(ctx, "InStr");
    if (start < 1)
        return invalidArgument(ctx, "InStr");
    if (isNull(argv[first]) || isNull(argv[first + 1]))
        return sqlite3_result_null(ctx);
    const Qt::CaseSensitivity cs = argc == 4 && numberOf(argv[3]) == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString haystack = textOf(argv[first]);
    const QString needle = textOf(argv[first + 1]);
    const qsizetype from = static_cast<qsizetype>(std::min(start, 1e9)) - 1;
    if (from > haystack.size())
        return sqlite3_result_int(ctx, 0);
    sqlite3_result_int64(ctx, haystack.indexOf(needle, from, cs) + 1);
}

void fnVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const double d =
        sqlite3_value_type(argv[0]) == SQLITE_TEXT ? NumberText::leadingNumber(textView(argv[0])) : numberOf(argv[0]);
    resultNumber(ctx, d);
}

void fnStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const double d = numberOf(argv[0]);
    resultText(ctx, (d >= 0 ? QStringLiteral(" ") : QString()) + numberText(d));
}

void fnCStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultText(ctx, textOf(argv[0]));
}

void fnIIf(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_value(ctx, isTrue(argv[0]) ? argv[1] : argv[2]);
}

void fnNz(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (!isNull(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (argc > 1)
        sqlite3_result_value(ctx, argv[1]);
    else
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

void fnIsNull(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_int(ctx, isNull(argv[0]) ? -1 : 0);
}

void fnDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

void fnNow(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

template <double (*Op)(double)>
void numberFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    resultNumber(ctx, Op(numberOf(argv[0])));
}

double absolute(double d)
{
    return std::fabs(d);
}
double floorOf(double d)
{
    return std::floor(d);
}
double truncOf(double d)
{
    return std::trunc(d);
}
double roundEven(double d)
{
    return std::nearbyint(d);
}

void fnCDbl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, numberOf(argv[0]));
}

void fnSpace(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const double n = numberOf(argv[0]);
    if (n < 0 || n > 65535)
        return invalidArgument(ctx, "Space");
    resultText(ctx, QString(static_cast<qsizetype>(n), QLatin1Char(' ')));
}

void fnChr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const int code = NumberText::roundHalfEven(numberOf(argv[0]));
    if (code < 0 || code > 0xFFFF)
        return invalidArgument(ctx, "Chr");
    resultText(ctx, QString(QChar(static_cast<char16_t>(code))));
}

void fnAsc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString s = textOf(argv[0]);
    if (s.isEmpty())
        return invalidArgument(ctx, "Asc");
    sqlite3_result_int(ctx, s.at(0).unicode());
}

// ---- LIKE ------------------------------------------------------------------------------------

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    // SQLite calls like(pattern, text) for "text LIKE pattern". A constant pattern is compiled once
    // per statement and kept as the argument's auxiliary data.
    if (anyNull(qMin(argc, 2), argv))
        return sqlite3_result_null(ctx);
    const QString text = textOf(argv[1]);
    if (const auto* cached = static_cast<const JetLike*>(sqlite3_get_auxdata(ctx, 0)))
        return sqlite3_result_int(ctx, cached->matches(text) ? 1 : 0);

    auto compiled = std::make_unique<JetLike>();
    QString error;
    if (!JetLike::compile(textOf(argv[0]), compiled.get(), &error)) {
        const QByteArray message = error.toUtf8();
        return sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
    }
    sqlite3_result_int(ctx, compiled->matches(text) ? 1 : 0);
    // Last: SQLite may free the pattern before this call returns.
    sqlite3_set_auxdata(ctx, 0, compiled.release(), [](void* p) { delete static_cast<JetLike*>(p); });
}

const JetFunctions::Info kFunctions[] = {
    {"UCase", "jet_ucase", 1, 1, false, true, textFunction<upper>},
    {"LCase", "jet_lcase", 1, 1, false, true, textFunction<lower>},
    {"Left", "jet_left", 2, 2, false, true, fnEnd<true>},
    {"Right", "jet_right", 2, 2, false, true, fnEnd<false>},
    {"Mid", "jet_mid", 2, 3, false, true, fnMid},
    {"Len", "jet_len", 1, 1, false, true, fnLen},
    {"Trim", "jet_trim", 1, 1, false, true, textFunction<trimBoth>},
    {"LTrim", "jet_ltrim", 1, 1, false, true, textFunction<trimLeft>},
    {"RTrim", "jet_rtrim", 1, 1, false, true, textFunction<trimRight>},
    {"InStr", "jet_instr", 2, 4, false, true, fnInStr},
    {"Val", "jet_val", 1, 1, false, true, fnVal},
    {"Str", "jet_str", 1, 1, false, true, fnStr},
    {"CStr", "jet_cstr", 1, 1, false, true, fnCStr},
    {"IIf", "jet_iif", 3, 3, false, true, fnIIf},
    {"Nz", "jet_nz", 1, 2, false, true, fnNz},
    {"IsNull", "jet_isnull", 1, 1, false, true, fnIsNull},
    {"Year", "jet_year", 1, 1, false, true, datePart<&QDate::year>},
    {"Month", "jet_month", 1, 1, false, true, datePart<&QDate::month>},
    {"Day", "jet_day", 1, 1, false, true, datePart<&QDate::day>},
    {"Date", "jet_date", 0, 0, false, false, fnDate},
    {"Now", "jet_now", 0, 0, false, false, fnNow},
    {"Abs", "jet_abs", 1, 1, false, true, numberFunction<absolute>},
    {"Int", "jet_int", 1, 1, false, true, numberFunction<floorOf>},
    {"Fix", "jet_fix", 1, 1, false, true, numberFunction<truncOf>},
    {"CInt", "jet_cint", 1, 1, false, true, numberFunction<roundEven>},
    {"CLng", "jet_clng", 1, 1, false, true, numberFunction<roundEven>},
    {"CDbl", "jet_cdbl", 1, 1, false, true, fnCDbl},
    {"Space", "jet_space", 1, 1, false, true, fnSpace},
    {"Chr", "jet_chr", 1, 1, false, true, fnChr},
    {"Asc", "jet_asc", 1, 1, false, true, fnAsc},
    {"Count", "count", 1, 1, true, true, nullptr},
    {"Sum", "sum", 1, 1, true, true, nullptr},
    {"Avg", "avg", 1, 1, true, true, nullptr},
    {"Min", "min", 1, 1, true, true, nullptr},
    {"Max", "max", 1, 1, true, true, nullptr},
};

// Operators the translator writes as calls.
const JetFunctions::Info kOperators[] = {
    {"&", "jet_concat", 2, 2, false, true, fnConcat}, {"+", "jet_add", 2, 2, false, true, fnAdd},
    {"Mod", "jet_mod", 2, 2, false, true, fnMod},     {"\\", "jet_intdiv", 2, 2, false, true, fnIntDiv},
    {"^", "jet_pow", 2, 2, false, true, fnPow},       {"Like", "like", 2, 3, false, true, fnLike},
};

int registerFunction(sqlite3* db, const JetFunctions::Info& f)
{
    if (!f.function)
        return SQLITE_OK; // SQLite's own aggregate
    const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    for (int n = f.minArgs; n <= f.maxArgs; ++n) {
        const int rc =
            sqlite3_create_function_v2(db, f.sqlName, n, flags, nullptr, f.function, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace

const JetFunctions::Info* JetFunctions::find(QStringView jetName)
{
    for (const Info& f : kFunctions) {
        if (jetName.compare(QLatin1String(f.jetName), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

int JetFunctions::registerAll(sqlite3* db)
{
    for (const Info& f : kFunctions) {
        if (const int rc = registerFunction(db, f); rc != SQLITE_OK)
            return rc;
    }
    for (const Info& f : kOperators) {
        if (const int rc = registerFunction(db, f); rc != SQLITE_OK)
            return rc;
    }
    return JetCollation::registerOn(db);
}
