#include "import/plotoptionparser.h"

PlotOptionParser::PlotOptionParser(const QString& text)
{
    try {
        m_arguments = splitArguments(text);
    } catch (const std::exception&) {
        m_arguments = ArgumentList();
        m_status = BAD_TEXT;
    }
}

PlotOptionParser::PlotOptionParser(ArgumentList arguments) : m_arguments(std::move(arguments)) {}

int PlotOptionParser::warn(const QString& text, int code)
{
    m_warnings << QStringLiteral("Parameter warning: %1").arg(text);
    return code;
}

int PlotOptionParser::find(const QString& aliases) const
{
    for (const QString& alias : aliases.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (const int at = m_arguments.indexOf(alias, 0))
            return at;
    return 0;
}

int PlotOptionParser::getFlag(const QString& aliases, bool& field)
{
    if (find(aliases))
        field = true;
    return 0;
}

const QString* PlotOptionParser::wordAfter(const QString& aliases, const QString& missing, int& code)
{
    code = 0;
    const int at = find(aliases);
    if (!at)
        return nullptr;
    if (at + 1 >= m_arguments.size()) {
        code = warn(missing, 1);
        return nullptr;
    }
    return &m_arguments.at(at + 1);
}

int PlotOptionParser::getInt(const QString& aliases, int& field)
{
    int code = 0;
    const QString* word = wordAfter(aliases, QStringLiteral("The %1 parameter is missing a value.").arg(aliases), code);
    if (!word)
        return code;
    bool ok = false;
    const int v = word->toInt(&ok, 10);
    if (!ok)
        return warn(QStringLiteral("The %1 parameter requires a valid integer.").arg(aliases), 4);
    field = v;
    return 0;
}

int PlotOptionParser::getDouble(const QString& aliases, double& field, const QString& description)
{
    int code = 0;
    const QString* word = wordAfter(aliases, QStringLiteral("The %1 parameter is missing a value.").arg(aliases), code);
    if (word && !readsAsNumber(*word, &field))
        return warn(QStringLiteral("The %1 parameter requires %2").arg(aliases, description), 4);
    return code;
}

int PlotOptionParser::getString(const QString& aliases, QString& field, const QString& description)
{
    int code = 0;
    const QString* word = wordAfter(aliases, QStringLiteral("The %1 parameter requires %2").arg(aliases, description), code);
    if (word)
        field = *word;
    return code;
}

int PlotOptionParser::getRange(const QString& aliases, double& min, double& max, bool& given)
{
    given = false;
    const int at = find(aliases);
    if (!at)
        return 0;
    const QString twoValues = QStringLiteral("The %1 parameter requires two values.").arg(aliases);
    const QString twoValid = QStringLiteral("The %1 parameter requires two valid values.").arg(aliases);
    if (at + 1 >= m_arguments.size())
        return warn(twoValues, 2);
    if (at + 2 >= m_arguments.size())
        return warn(twoValues, 3);
    double a = 0, b = 0;
    if (!readsAsNumber(m_arguments.at(at + 1), &a))
        return warn(twoValid, 5);
    if (!readsAsNumber(m_arguments.at(at + 2), &b))
        return warn(twoValid, 6);
    min = a;
    max = b;
    given = true;
    return 0;
}

int PlotOptionParser::getStringList(const QString& aliases, QStringList& field, const QString& description)
{
    const int first = find(aliases);
    if (!first)
        return 0;
    const QString word = m_arguments.at(first);
    for (int at = first; at; at = m_arguments.indexOf(word, at + 1)) {
        if (at + 1 >= m_arguments.size())
            return warn(QStringLiteral("The %1 parameter requires %2").arg(aliases, description), 1);
        for (int i = at + 1; i < m_arguments.size() && !m_arguments.at(i).startsWith(QLatin1Char('-')); ++i)
            field << m_arguments.at(i);
    }
    return 0;
}

int PlotOptionParser::getDoubleList(const QString& aliases, std::vector<double>& field)
{
    const int first = find(aliases);
    if (!first)
        return 0;
    const QString word = m_arguments.at(first);
    for (int at = first; at; at = m_arguments.indexOf(word, at + 1)) {
        if (at + 1 >= m_arguments.size())
            return warn(QStringLiteral("The %1 parameter is missing a value.").arg(aliases), 1);
        double v = 0;
        if (!readsAsNumber(m_arguments.at(at + 1), &v))
            return warn(QStringLiteral("The %1 parameter requires a valid value.").arg(aliases), 4);
        for (int i = at + 1; i < m_arguments.size() && readsAsNumber(m_arguments.at(i), &v); ++i)
            field.push_back(v);
    }
    return 0;
}

bool PlotOptionParser::parse()
{
    PlotOptions& o = m_options;
    loadPlotOptions(o);
    const QString validValue = QStringLiteral("a valid value.");
    const QString label = QStringLiteral("a label.");

    getDouble(QStringLiteral("-barfloor"), o.barfloor, validValue);
    getString(QStringLiteral("-legendpos"), o.legendpos, QStringLiteral("top, bottom, left, right, or off."));
    getInt(QStringLiteral("-height"), o.height);
    getFlag(QStringLiteral("-imgborder"), o.imgborder);
    getString(QStringLiteral("-imgpath"), o.imgpath, QStringLiteral("a path name."));
    getInt(QStringLiteral("-linewidth"), o.linewidth);
    getFlag(QStringLiteral("-noline"), o.noline);
    getFlag(QStringLiteral("-nooverlay"), o.nooverlay);
    getInt(QStringLiteral("-pntrad"), o.pntrad);
    getFlag(QStringLiteral("-pnt;-pnts"), o.pnts);
    getInt(QStringLiteral("-slide"), o.slide);
    getInt(QStringLiteral("-smooth"), o.smooth);
    getFlag(QStringLiteral("-sort"), o.sort);
    getInt(QStringLiteral("-tickfontsize"), o.tickfontsize);
    getString(QStringLiteral("-title"), o.title, QStringLiteral("a title string."));
    getInt(QStringLiteral("-titlefontsize"), o.titlefontsize);
    getFlag(QStringLiteral("-v;-verbose"), o.verbose);
    getInt(QStringLiteral("-width"), o.width);
    getInt(QStringLiteral("-xaxisfontsize"), o.xaxisfontsize);
    getString(QStringLiteral("-xlbl;-xlabel"), o.xlbl, label);
    getFlag(QStringLiteral("-xoffset"), o.xoffset);
    getInt(QStringLiteral("-yaxisfontsize"), o.yaxisfontsize);
    getString(QStringLiteral("-ylbl;-ylabel"), o.ylbl, label);
    // Unlike "-xoffset", the stored "yoffset" setting does not count here.
    o.yoffset = false;
    getFlag(QStringLiteral("-yoffset"), o.yoffset);

    // Switches that only a command sets.
    o.firstDiff = o.threeD = o.append = o.bar = o.build = o.defaults = false;
    o.exprOnly = o.compact = o.help = o.jpg = o.linked = o.logx = o.logy = o.logxy = false;
    o.merge = o.piped = o.script = false;
    o.granh = o.granv = -1;
    o.expressions.clear();
    o.legend.clear();
    o.hmarkers.clear();
    o.vmarkers.clear();
    o.outputFile = QString();

    getFlag(QStringLiteral("-1stdiff"), o.firstDiff);
    getFlag(QStringLiteral("-3d"), o.threeD);
    getFlag(QStringLiteral("-append"), o.append);
    getFlag(QStringLiteral("-bar"), o.bar);
    getFlag(QStringLiteral("-build;-version"), o.build);
    getFlag(QStringLiteral("-defaults"), o.defaults);
    getRange(QStringLiteral("-domain;-spanx"), o.domainMin, o.domainMax, o.domainSet);
    getStringList(QStringLiteral("-expr"), o.expressions, QStringLiteral("at least one equation."));
    getFlag(QStringLiteral("-expr_only"), o.exprOnly);
    getFlag(QStringLiteral("-compact"), o.compact);
    getDouble(QStringLiteral("-granh"), o.granh, validValue);
    getDouble(QStringLiteral("-granv"), o.granv, validValue);
    getFlag(QStringLiteral("-h;-help;-?"), o.help);
    getDoubleList(QStringLiteral("-hmarker"), o.hmarkers);
    getFlag(QStringLiteral("-jpg"), o.jpg);
    getStringList(QStringLiteral("-legend"), o.legend, QStringLiteral("at least one legend entry."));
    getFlag(QStringLiteral("-linked"), o.linked);
    getFlag(QStringLiteral("-logx"), o.logx);
    getFlag(QStringLiteral("-logy"), o.logy);
    getFlag(QStringLiteral("-logxy"), o.logxy);
    getFlag(QStringLiteral("-merge"), o.merge);
    getString(QStringLiteral("-o"), o.outputFile, QStringLiteral("an output file name."));
    getFlag(QStringLiteral("-piped"), o.piped);
    getRange(QStringLiteral("-range;-spany"), o.rangeMin, o.rangeMax, o.rangeSet);
    getFlag(QStringLiteral("-script"), o.script);
    getDoubleList(QStringLiteral("-vmarker;-marker"), o.vmarkers);

    o.legendpos = o.legendpos.toLower();
    static const QStringList positions = {QStringLiteral("top"), QStringLiteral("bottom"), QStringLiteral("left"),
                                          QStringLiteral("right"), QStringLiteral("off")};
    if (!positions.contains(o.legendpos))
        warn(QStringLiteral("The -legendpos parameter must be followed with top, bottom, left, right, or off."));
    return true;
}
