// The bounds on markup handed to the toolkit's rich text: hostile nesting,
// tag counts, lengths and image sources are found; ordinary label documents
// pass unchanged.
#include "core/markupbounds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString repeated(const char* piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += QLatin1String(piece);
    return text;
}

} // namespace

TEST(MarkupBounds, OrdinaryTextsPassUnchanged)
{
    const QString designer = QStringLiteral(
        "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\np, li { white-space: "
        "pre-wrap; }\n</style></head><body style=\" font-family:'Times'; font-size:18pt;\">\n<p style=\" "
        "margin-top:0px;\"><span style=\" color:#ff0000;\">Flux</span> density<sup>2</sup></p></body></html>");
    const QString texts[] = {
        QString(),
        "Plain title",
        "a < b and c > d",
        "x<sub>1</sub> &amp; y<br />z",
        designer,
        // Unclosed cells and rows close at the next cell or row.
        "<table><tr><td>1<td>2<td>3<tr><td>4<td>5</table>" + repeated("<p>line", 40),
        repeated("<b>", 30) + "deep but allowed",
        repeated("<table><tr><td>", 4) + "four tables deep",
        repeated("<i>x</i>", 200),
    };
    for (const QString& text : texts) {
        EXPECT_TRUE(kro::richTextProblem(text).isEmpty()) << text.toStdString();
        QString problem = "stale";
        EXPECT_EQ(kro::boundedRichText(text, &problem), text);
        EXPECT_TRUE(problem.isEmpty());
    }
}

TEST(MarkupBounds, HostileTextsAreShownWithoutTheirMarkup)
{
    struct Case {
        QString text;
        const char* problem; // the start of the reason
        QString shown;
    };
    const Case cases[] = {
        {repeated("<table><tr><td>", 3000) + "cell", "The markup nests tables more than 4 deep", "cell"},
        {repeated("<table><tr><td>", 600) + "cell", "The markup nests tables more than 4 deep", "cell"},
        {repeated("<b>", 100000) + "bold", "The text is 300004 characters long (at most 65536)", "bold"},
        {repeated("<b>", 33) + "bold", "The markup is nested more than 32 levels deep", "bold"},
        {repeated("<sup><i>", 1000), "The markup is nested more than 32 levels deep", ""},
        {repeated("<table><tr><td>x</td></tr></table>", 33), "The markup holds more than 32 tables",
         repeated("x", 33)},
        {repeated("<i>x</i>", 401), "The markup holds more than 400 tags", repeated("x", 401)},
        {"<style>p { color: red }</style>" + repeated("<br>", 401) + "end<!-- note -->",
         "The markup holds more than 400 tags", "end"},
    };
    for (const Case& c : cases) {
        QString problem;
        const QString shown = kro::boundedRichText(c.text, &problem);
        EXPECT_TRUE(problem.startsWith(QLatin1String(c.problem))) << problem.toStdString();
        EXPECT_TRUE(problem.endsWith("; the text is shown without its markup")) << problem.toStdString();
        EXPECT_EQ(shown, c.shown) << c.problem;
    }
    // A long plain text is cut to the bound; entities count as one character.
    QString problem;
    EXPECT_EQ(kro::boundedRichText(repeated("y", 20000), &problem).size(), kro::kMaxRichTextLength);
    EXPECT_TRUE(problem.startsWith("The text shows more than 10000 characters")) << problem.toStdString();
    EXPECT_TRUE(kro::richTextProblem(repeated("&lt;&amp;", 4000) + "<b>x</b>").isEmpty());
}

TEST(MarkupBounds, ImagesMustBeFiles)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("dot.png");
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not really a picture");
    file.close();
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QString fine[] = {
        "<img src=\"" + picture + "\" width=\"16\">",
        "<img src=\"file://" + picture + "\">",
        "<img src=\":/images/logo.png\">",
        "<img src=\"" + dir.filePath("missing.png") + "\">",
        "<img src=\"https://example.invalid/x.png\">",
    };
    for (const QString& text : fine)
        EXPECT_TRUE(kro::richTextProblem(text).isEmpty()) << text.toStdString();

    // A device, a pipe or a folder would be read as an image without end.
    const QString hostile[] = {
        "<img src=\"/dev/zero\">",
        "<img width=8 src=" + fifo + ">",
        "<img src='file://" + fifo + "'>",
        "<table background=\"/dev/urandom\"><tr><td>x</td></tr></table>",
        "<span style=\"background-image: url(/dev/zero)\">x</span>",
        "<img src=\"" + dir.path() + "\">",
    };
    for (const QString& text : hostile) {
        const QString problem = kro::richTextProblem(text);
        EXPECT_TRUE(problem.startsWith("The markup names ")) << text.toStdString() << " -> " << problem.toStdString();
    }
}
