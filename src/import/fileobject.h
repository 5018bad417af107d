#pragma once
// One data source of a plot command (a data file, the program's input pipe
// or a live link) and how it is read.
#include <QString>
#include <QMetaType>

#include <array>
#include <vector>

// One y column of a data source; one curve each. The y value is read as
// value * mul / div + add - sub and then, when mod is not 0, replaced by the
// remainder of y divided by mod.
struct YColumn {
    int column = 1; // zero-based
    double mod = 0.0;
    double add = 0.0;
    double sub = 0.0;
    double mul = 1.0;
    double div = 1.0;
    QString title;

    bool operator==(const YColumn&) const = default;
};

// The x scaling: x is read as value * mul / div + add - sub; then, when mod
// is not 0, replaced by the remainder of x divided by mod.
struct XScale {
    double add = 0.0;
    double sub = 0.0;
    double mul = 1.0;
    double div = 1.0;
    double mod = 0.0;

    bool operator==(const XScale&) const = default;
};

struct FileObject {
    // The limits, in the order of m_limits and m_limitSet.
    enum Limit { X_MIN = 0, X_MAX, Y_MIN, Y_MAX, Z_MIN, Z_MAX };
    // m_xColumn when the x value comes from the date, time or date-and-time
    // column.
    static constexpr int X_FROM_DATETIME = -100;
    // m_file of the program's standard input.
    static QString pipeName() { return QStringLiteral("...from pipe"); }

    // The date, time and date-and-time formats come from the settings
    // "dateformat", "timeformat" and "datetimeformat".
    FileObject();
    // All fields at their defaults, the formats given (no settings read).
    FileObject(const QString& dateFormat, const QString& datetimeFormat, const QString& timeFormat);

    QString m_file;
    // The name as the user wrote it, for titles and legends; empty when it
    // is m_file itself.
    QString m_name;
    int m_dateColumn = -1;
    int m_datetimeColumn = -1;
    int m_timeColumn = -1;
    int m_xColumn = 0; // -1: points are numbered; X_FROM_DATETIME
    int m_zColumn = -1;
    QString m_dateFormat;
    QString m_datetimeFormat;
    QString m_timeFormat;
    std::vector<YColumn> m_yColumns{YColumn{}};
    std::array<double, 6> m_limits{};
    std::array<bool, 6> m_limitSet{};
    int m_keyColumn = -1;
    int m_labelColumn = -1;
    QString m_regex;
    XScale m_xScale;
    bool m_mean = false;
    int m_skip = 0;
    int m_get = -1;
    int m_header = -1; // lines before the header row; -1: no header row
    bool m_mergeEqualX = false;
    bool m_append = true;

    const QString& shownName() const { return m_name.isEmpty() ? m_file : m_name; }
    bool hasDateOrTime() const { return m_dateColumn >= 0 || m_timeColumn >= 0 || m_datetimeColumn >= 0; }
    bool operator==(const FileObject&) const = default;
};

Q_DECLARE_METATYPE(FileObject)
