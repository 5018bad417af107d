#pragma once
// The plot options of the plot command: the stored settings first, then the
// options of the command. Never fails: every problem with an option becomes
// a warning text.
#include "core/plotoptions.h"
#include "import/fileoptionparser.h"

#include <QString>
#include <QStringList>

#include <vector>

class PlotOptionParser {
public:
    enum Status { OK = 0, BAD_TEXT = 8 };

    // Tokenises the command text; status BAD_TEXT when that fails (parse
    // then finds no options).
    explicit PlotOptionParser(const QString& text);
    explicit PlotOptionParser(ArgumentList arguments);

    // Loads the settings, then applies the options; always true.
    bool parse();

    const PlotOptions& options() const { return m_options; }
    PlotOptions& options() { return m_options; }
    const QStringList& warnings() const { return m_warnings; }
    const ArgumentList& arguments() const { return m_arguments; }
    int status() const { return m_status; }

    // The getters: each finds the first alias of the ';'-separated list that
    // occurs and reads only that alias. They return 0 or the problem's code;
    // on a problem the field keeps its value.
    int getFlag(const QString& aliases, bool& field);
    int getInt(const QString& aliases, int& field);
    int getDouble(const QString& aliases, double& field, const QString& description);
    int getString(const QString& aliases, QString& field, const QString& description);
    int getRange(const QString& aliases, double& min, double& max, bool& given);
    int getStringList(const QString& aliases, QStringList& field, const QString& description);
    int getDoubleList(const QString& aliases, std::vector<double>& field);
    // Records "Parameter warning: <text>"; returns the code.
    int warn(const QString& text, int code = 0);

private:
    int find(const QString& aliases) const;
    // The word after the option's first occurrence; null when the option is
    // absent (code 0) or is the last word (the missing text recorded, code 1).
    const QString* wordAfter(const QString& aliases, const QString& missing, int& code);

    ArgumentList m_arguments;
    QStringList m_warnings;
    PlotOptions m_options;
    int m_status = OK;
};
