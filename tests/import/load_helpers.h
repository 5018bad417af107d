#pragma once
// Loading the sources of a plot command with the real loader thread, for
// tests that compare what different commands or tools make of one file.
#include "core/curvedata.h"
#include "import/fileoptionparser.h"
#include "import/parsingthread.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

namespace kro::test {

// The curves a plot command's sources load into (empty when the command
// does not parse, which fails the test).
inline CurveMap loadCommandCurves(const QString& command)
{
    FileOptionParser parser(command);
    EXPECT_EQ(parser.status(), FileOptionParser::OK) << command.toStdString();
    EXPECT_TRUE(parser.parse()) << command.toStdString() << ": " << parser.errorText().toStdString();
    if (parser.fileObjects().empty())
        return {};
    QObject receiver;
    ParsingThread loader(&receiver, &receiver);
    loader.setFileObjects(parser.fileObjects());
    loader.start();
    EXPECT_TRUE(loader.wait(20000));
    QCoreApplication::sendPostedEvents(&receiver);
    return loader.curves();
}

// The points of a curve as (x, y) pairs.
inline std::vector<std::pair<double, double>> pointsOf(const CurveData& curve)
{
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < curve.pointCount(); ++i)
        points.emplace_back(curve.x(i), curve.y(i));
    return points;
}

} // namespace kro::test
