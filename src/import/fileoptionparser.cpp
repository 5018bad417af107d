#include "import/fileoptionparser.h"

#include "core/exceptions.h"
#include "core/filenames.h"
#include "core/settings.h"
#include "core/stringutils.h"
#include "core/fileutils.h"
#include "core/typednames.h"
#include "import/linereader.h"
#include "import/lineregex.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

int ArgumentList::indexOf(const QString& word, int start) const
{
    for (int i = std::max(start, 1); i < m_words.size(); ++i)
        if (m_words.at(i).compare(word, Qt::CaseInsensitive) == 0)
            return i;
    return 0;
}

namespace {

// The command's text as bytes: UTF-8, with the bytes of a file name that is
// not UTF-8 kept as they are.
std::string localBytes(const QString& s) { return kro::encodeFileName(s).toStdString(); }
QString fromLocalBytes(const std::string& s) { return kro::decodeFileName(s.data(), qsizetype(s.size())); }

// The regular files a file-name pattern names: the pattern's matches when
// it holds a wildcard ('*' or '?'), else the name itself.
QStringList expandFilePattern(const QString& typed)
{
    const QString word = kro::platform::expandHome(typed);
    if (!word.contains(QLatin1Char('*')) && !word.contains(QLatin1Char('?')))
        return {word};
    QStringList files;
    for (const auto& info : SCUtilities::listMatching(localBytes(word), 1)) {
        if (!info.isRegularFile)
            continue;
        files << QDir::cleanPath(QFileInfo(fromLocalBytes(info.path)).absoluteFilePath());
    }
    return files;
}

double numberOf(const QString& word)
{
    double v = 0;
    readsAsNumber(word, &v);
    return v;
}

// A column number given 1-based: v >= 1 gives v - 1, 0 gives -1 (none);
// negative, non-finite and huge values are ignored.
bool columnOf(double v, int& column)
{
    if (!std::isfinite(v) || v < 0 || v > double(INT_MAX))
        return false;
    column = static_cast<int>(v) - 1;
    return true;
}

// A count option: values below the minimum are ignored; huge values are held
// at the largest int.
bool countOf(double v, int minimum, int& count)
{
    if (std::isnan(v) || v < minimum)
        return false;
    count = v >= double(INT_MAX) ? INT_MAX : static_cast<int>(v);
    return true;
}

} // namespace

bool readsAsNumber(const QString& word, double* value)
{
    bool ok = false;
    const double v = word.toDouble(&ok);
    ok = ok && std::isfinite(v);
    if (ok && value)
        *value = v;
    return ok;
}

ArgumentList splitArguments(const QString& text)
{
    const QByteArray bytes = kro::encodeFileName(text);
    if (kro::decodeFileName(bytes) != text)
        throw kroexception("The command text holds characters that cannot be represented.");
    std::vector<std::string> tokens;
    try {
        tokens = SCUtilities::splitQuoted(bytes.toStdString());
    } catch (const std::exception& e) {
        throw kroexception(std::string(e.what()));
    }
    ArgumentList args;
    bool inFiles = false;
    for (const std::string& token : tokens) {
        const QString word = fromLocalBytes(token);
        if (word.startsWith(QLatin1Char('-'))) {
            args.append(word);
            inFiles = word == QLatin1String("-f");
            continue;
        }
        if (!inFiles) {
            args.append(word);
            continue;
        }
        try {
            for (const QString& file : expandFilePattern(word))
                args.append(file);
        } catch (const std::exception& e) {
            throw kroexception(std::string(e.what()));
        }
    }
    return args;
}

struct FileOptionParser::OptionRow {
    const char* aliases;
    Kind kind;
    // Column, Number and Text options: the value handed to one FileObject.
    std::function<void(FileObject&, const QString&)> apply;
    // PerY options: the value handed to one y column.
    std::function<void(YColumn&, double)> applyY;
};

FileOptionParser::FileOptionParser(const QString& text)
{
    try {
        m_arguments = splitArguments(text);
    } catch (const std::exception&) {
        m_arguments = ArgumentList();
        m_status = BAD_TEXT;
    }
}

FileOptionParser::FileOptionParser(ArgumentList arguments) : m_arguments(std::move(arguments)) {}

void FileOptionParser::addFile(const QString& name)
{
    FileObject fo;
    fo.m_file = name;
    m_files.push_back(fo);
}

QString FileOptionParser::noValidArguments(const QString& aliases) const
{
    return QStringLiteral("Parameter error: %1")
        .arg(QStringLiteral("The %1 parameter was specified, but no valid arguments\nwere found. Please correct the "
                            "syntax and try again.")
                 .arg(aliases));
}

bool FileOptionParser::collectValues(const QString& aliases, bool perOccurrence, bool numeric)
{
    m_values.clear();
    const QStringList names = aliases.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QString word = names.isEmpty() ? QString() : names.last();
    for (const QString& name : names) {
        if (m_arguments.indexOf(name, 1)) {
            word = name;
            break;
        }
    }
    int at = m_arguments.indexOf(word, 1);
    if (!at) {
        m_status = ABSENT;
        return true;
    }
    for (; at; at = m_arguments.indexOf(word, at + 1)) {
        QStringList occurrence;
        for (int i = at + 1; i < m_arguments.size(); ++i) {
            const QString& w = m_arguments.at(i);
            const bool isValue = numeric ? readsAsNumber(w) : !w.startsWith(QLatin1Char('-'));
            if (!isValue)
                break;
            QString value = w;
            value.remove(QLatin1Char('"'));
            if (perOccurrence)
                occurrence << value;
            else
                m_values.push_back(QStringList{value});
        }
        if (perOccurrence && !occurrence.isEmpty())
            m_values.push_back(occurrence);
    }
    if (m_values.empty()) {
        m_error = noValidArguments(aliases);
        m_status = FAILED;
        return false;
    }
    m_status = OK;
    return true;
}

bool FileOptionParser::parseOption(const OptionRow& row)
{
    const bool numeric = row.kind != Kind::Text;
    const bool perY = row.kind == Kind::PerY;
    const QString aliases = QString::fromLatin1(row.aliases);
    const bool bareAllowed = aliases == QLatin1String("-header") || aliases == QLatin1String("-mean");
    if (!collectValues(aliases, perY, numeric)) {
        if (!bareAllowed)
            return false;
        // A bare "-header" or "-mean" stands for its one default value.
        m_error.clear();
        m_status = OK;
        m_values = {QStringList{aliases == QLatin1String("-header") ? QStringLiteral("1") : QStringLiteral("true")}};
    }
    if (m_status == ABSENT)
        return true;
    const std::size_t n = m_values.size();
    for (std::size_t f = 0; f < m_files.size(); ++f) {
        const QStringList& unit = m_values[std::min(f, n - 1)];
        FileObject& fo = m_files[f];
        if (!perY) {
            row.apply(fo, unit.first());
            continue;
        }
        for (std::size_t i = 0; i < fo.m_yColumns.size(); ++i)
            row.applyY(fo.m_yColumns[i], numberOf(unit.at(qsizetype(std::min<std::size_t>(i, unit.size() - 1)))));
    }
    return true;
}

bool FileOptionParser::parseYColumns()
{
    // Per file one list: the first value sets the existing y column, each
    // further value appends one.
    if (!collectValues(QStringLiteral("-y"), true, true))
        return false;
    if (m_status == ABSENT)
        return true;
    for (const QStringList& occurrence : m_values) {
        for (const QString& w : occurrence) {
            const double v = numberOf(w);
            if (!(v >= 1 && v <= double(INT_MAX))) {
                m_error = QStringLiteral("Parameter error: %1")
                              .arg(QStringLiteral("The -y parameter was given the column %1. Columns are numbered "
                                                  "from 1.")
                                       .arg(w));
                m_status = FAILED;
                return false;
            }
        }
    }
    for (std::size_t f = 0; f < m_files.size(); ++f) {
        const QStringList& unit = m_values[std::min(f, m_values.size() - 1)];
        auto& ys = m_files[f].m_yColumns;
        for (qsizetype i = 0; i < unit.size(); ++i) {
            const int c = static_cast<int>(numberOf(unit.at(i))) - 1;
            if (i == 0) {
                ys.front().column = c;
            } else {
                YColumn y;
                y.column = c;
                ys.push_back(y);
            }
        }
    }
    return true;
}

bool FileOptionParser::parse()
{
    m_error.clear();
    m_files.clear();
    m_fileCount = 0;
    if (m_arguments.size() > 1 && m_arguments.at(1).compare(QLatin1String("-script"), Qt::CaseInsensitive) == 0)
        return true;

    // Every new FileObject takes the stored formats; read them once.
    const FileObject prototype;
    auto addSource = [&](const QString& name) {
        FileObject fo = prototype;
        fo.m_file = name;
        if (const QString written = kro::typedName(name); written != name)
            fo.m_name = written;
        m_files.push_back(fo);
    };

    if (m_arguments.indexOf(QStringLiteral("-linked"), 1) || m_arguments.indexOf(QStringLiteral("-piped"), 1)) {
        addSource(FileObject::pipeName());
        m_fileCount = 1;
    } else {
        if (!collectValues(QStringLiteral("-f"), false, false))
            return false;
        for (const QStringList& v : m_values)
            addSource(v.first());
        m_fileCount = static_cast<int>(m_files.size());
    }

    auto column = [](int FileObject::*field) {
        return [field](FileObject& fo, const QString& v) {
            int c;
            if (columnOf(numberOf(v), c))
                fo.*field = c;
        };
    };
    auto text = [](QString FileObject::*field) {
        return [field](FileObject& fo, const QString& v) { fo.*field = v; };
    };
    auto limit = [](FileObject::Limit which) {
        return [which](FileObject& fo, const QString& v) {
            fo.m_limits[which] = numberOf(v);
            fo.m_limitSet[which] = true;
        };
    };
    auto xScale = [](double XScale::*field) {
        return [field](FileObject& fo, const QString& v) { fo.m_xScale.*field = numberOf(v); };
    };
    auto yScale = [](double YColumn::*field) {
        return [field](YColumn& y, double v) { y.*field = v; };
    };

    const OptionRow rows[] = {
        {"-x", Kind::Column, column(&FileObject::m_xColumn), {}},
        {"-y", Kind::PerY, {}, {}},
        {"-z", Kind::Column, column(&FileObject::m_zColumn), {}},
        {"-d;-date", Kind::Column, column(&FileObject::m_dateColumn), {}},
        {"-t;-time", Kind::Column, column(&FileObject::m_timeColumn), {}},
        {"-dt;-datetime", Kind::Column, column(&FileObject::m_datetimeColumn), {}},
        {"-dformat;-dateformat", Kind::Text, text(&FileObject::m_dateFormat), {}},
        {"-dtformat;-datetimeformat", Kind::Text, text(&FileObject::m_datetimeFormat), {}},
        {"-tformat;-timeformat", Kind::Text, text(&FileObject::m_timeFormat), {}},
        {"-limitxmin;-xlimitmin", Kind::Number, limit(FileObject::X_MIN), {}},
        {"-limitxmax;-xlimitmax", Kind::Number, limit(FileObject::X_MAX), {}},
        {"-limitymin;-ylimitmin", Kind::Number, limit(FileObject::Y_MIN), {}},
        {"-limitymax;-ylimitmax", Kind::Number, limit(FileObject::Y_MAX), {}},
        {"-limitzmin;-zlimitmin", Kind::Number, limit(FileObject::Z_MIN), {}},
        {"-limitzmax;-zlimitmax", Kind::Number, limit(FileObject::Z_MAX), {}},
        {"-regex", Kind::Text,
         [](FileObject& fo, const QString& v) {
             fo.m_regex = kro::import::blanksAsWhitespace(v);
         },
         {}},
        {"-get", Kind::Number, [](FileObject& fo, const QString& v) { countOf(numberOf(v), -1, fo.m_get); }, {}},
        {"-skip", Kind::Number, [](FileObject& fo, const QString& v) { countOf(numberOf(v), 0, fo.m_skip); }, {}},
        {"-header", Kind::Number,
         [](FileObject& fo, const QString& v) {
             int n;
             if (countOf(numberOf(v), 0, n))
                 fo.m_header = n - 1;
         },
         {}},
        {"-k;-key", Kind::Column, column(&FileObject::m_keyColumn), {}},
        {"-pntlbl", Kind::Column, column(&FileObject::m_labelColumn), {}},
        {"-add;-addy", Kind::PerY, {}, yScale(&YColumn::add)},
        {"-addx", Kind::Number, xScale(&XScale::add), {}},
        {"-sub;-suby", Kind::PerY, {}, yScale(&YColumn::sub)},
        {"-subx", Kind::Number, xScale(&XScale::sub), {}},
        {"-mult;-multy;-mul;-muly", Kind::PerY, {}, yScale(&YColumn::mul)},
        {"-multx;-mulx", Kind::Number, xScale(&XScale::mul), {}},
        {"-div;-divy", Kind::PerY, {}, yScale(&YColumn::div)},
        {"-divx", Kind::Number, xScale(&XScale::div), {}},
        {"-mean", Kind::Text,
         [](FileObject& fo, const QString& v) {
             fo.m_mean = !(v.isEmpty() || v == QLatin1String("0")
                           || v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
         },
         {}},
        {"-modx;-xmod", Kind::Number, xScale(&XScale::mod), {}},
        {"-mody;-ymod", Kind::PerY, {}, yScale(&YColumn::mod)},
    };

    for (const OptionRow& row : rows) {
        if (!row.apply && !row.applyY) {
            if (!parseYColumns())
                return false;
            continue;
        }
        if (!parseOption(row))
            return false;
    }

    if (m_files.empty()) {
        m_error = QStringLiteral("Parameter error: %1").arg(QStringLiteral("No input source (file or pipe) was specified."));
        m_status = FAILED;
        return false;
    }
    for (const FileObject& fo : m_files) {
        if (fo.m_datetimeColumn >= 0 && (fo.m_dateColumn >= 0 || fo.m_timeColumn >= 0)) {
            m_error = QStringLiteral("Parameter error: %1")
                          .arg(QStringLiteral("If you specify a date and/or time column you cannot also specify a "
                                              "date-time column, and vice-vera.\nPlease use either -dt OR -d and/or "
                                              "-t."));
            m_status = FAILED;
            return false;
        }
    }
    // A column no line can reach would only size tables and scan lines for
    // nothing.
    for (const FileObject& fo : m_files) {
        std::vector<int> columns = {fo.m_xColumn,        fo.m_zColumn,   fo.m_dateColumn, fo.m_timeColumn,
                                    fo.m_datetimeColumn, fo.m_keyColumn, fo.m_labelColumn};
        for (const YColumn& y : fo.m_yColumns)
            columns.push_back(y.column);
        const int widest = *std::max_element(columns.begin(), columns.end());
        if (widest >= kro::import::kMaxColumns) {
            m_error = QStringLiteral("Parameter error: %1")
                          .arg(QStringLiteral("Column %1 is past the last column a data line can hold (%2). Please "
                                              "correct the column number and try again.")
                                   .arg(qlonglong(widest) + 1)
                                   .arg(kro::import::kMaxColumns));
            m_status = FAILED;
            return false;
        }
    }
    for (FileObject& fo : m_files)
        if (fo.hasDateOrTime())
            fo.m_xColumn = FileObject::X_FROM_DATETIME;
    m_status = OK;
    return true;
}
