#include "core/jsonreader.h"

#include "core/exceptions.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <climits>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

using namespace json;

namespace {

std::string written(const Document& document)
{
    std::ostringstream out;
    writeJsonDocument(out, document);
    return out.str();
}

Document parsed(const std::string& text)
{
    Document document;
    parseJsonDocument(text, "test.json", document);
    return document;
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const SCUtilities::scexception& e) {
        return e.what();
    }
    return "(no error)";
}

// One instrument as the device-configuration filer lays it out.
Group device(const std::string& label, int key, const std::string& port, double stop)
{
    Group g("Device");
    g.scalars = {{"Label", label}, {"Key", key}, {"Slide", -1}, {"Connected", true}, {"Linked", false}};
    g.lists = {List("COM", {{"Port", port}, {"Baud", 115200}, {"Data", 8}, {"Parity", "NONE"}, {"Stop", stop},
                            {"Flow", "NONE"}})};
    g.arrays = {Array("X-Columns", std::vector<int>{1}), Array("Y-Columns", std::vector<int>{2, -3, 4})};
    return g;
}

TEST(JsonWriter, DocumentLayout)
{
    EXPECT_EQ(written({}), "{\n}\n");
    EXPECT_EQ(written({Group("G")}), "{\n    \"G\" : {\n    }\n}\n");

    Group g("Device");
    g.scalars = {{"Label", "a"}, {"Key", 3}};
    g.arrays = {Array("X", std::vector<int>{1, 2}), Array("E")};
    Group h("Device");
    h.lists = {List("COM", {{"Port", "ttyUSB0"}, {"Stop", 1.0}}), List("Empty")};
    EXPECT_EQ(written({g, h}), "{\n"
                               "    \"Device\" : {\n"
                               "        \"Label\" : \"a\",\n"
                               "        \"Key\" : 3,\n"
                               "        \"X\" : [\n"
                               "            1,\n"
                               "            2\n"
                               "        ],\n"
                               "        \"E\" : [\n"
                               "        ]\n"
                               "    },\n"
                               "    \"Device\" : {\n"
                               "        \"COM\" : {\n"
                               "            \"Port\" : \"ttyUSB0\",\n"
                               "            \"Stop\" : 1.0\n"
                               "        },\n"
                               "        \"Empty\" : {\n"
                               "        }\n"
                               "    }\n"
                               "}\n");
}

TEST(JsonWriter, ValueTexts)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        ScalarValue value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-5, "-5"},
        {9600, "9600"},
        {INT_MIN, "-2147483648"},
        {1.0, "1.0"},
        {1.5, "1.5"},
        {-2.0, "-2.0"},
        {-0.0, "-0.0"},
        {1e20, "100000000000000000000.0"},
        {0.1, "0.1"},
        {1234567.5, "1234567.5"},
        {0.123456789, "0.123456789"},
        {1.5e-05, "1.5e-05"},
        {0.1 + 0.2, "0.30000000000000004"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {inf, "Infinity"},
        {-inf, "-Infinity"},
        {true, "true"},
        {false, "false"},
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"say \"hi\" C:\\dir\n\t\x01", "\"say \\\"hi\\\" C:\\\\dir\\n\\t\\u0001\""},
        {"\xCE\xB1", "\"\xCE\xB1\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scalarValueText(c.value), c.text);
    EXPECT_EQ(jsonKey("a\"b"), "\"a\\\"b\" : ");
}

TEST(JsonModel, TypedReadsAndTheirErrors)
{
    const Group g = device("Probe", 4, "ttyS0", 1.5);
    EXPECT_EQ(g.get<Scalar>("Label").get<std::string>(), "Probe");
    EXPECT_EQ(g.get<Scalar>("Slide").get<int>(), -1);
    EXPECT_TRUE(g.get<Scalar>("Connected").get<bool>());
    const List& com = g.get<List>("COM");
    EXPECT_EQ(com.get<std::string>("Port"), "ttyS0");
    EXPECT_EQ(com.get<int>("Baud"), 115200);
    EXPECT_EQ(com.get<double>("Stop"), 1.5);
    // A missing list member reads as the empty value of its type.
    EXPECT_EQ(com.get<std::string>("Missing"), "");
    EXPECT_EQ(com.get<int>("Missing"), 0);
    EXPECT_EQ(com.get<double>("Missing"), 0.0);
    EXPECT_EQ(g.get<Array>("Y-Columns").get(), (std::vector<int>{2, -3, 4}));

    EXPECT_EQ(errorOf([&] { g.get<List>("TCPIP"); }), "Exception (Group::get() 300): \"TCPIP\" is not a valid group.");
    EXPECT_EQ(errorOf([&] { g.get<Array>("Label"); }), "Exception (Group::get() 300): \"Label\" is not a valid group.");
    EXPECT_EQ(errorOf([&] { g.get<Scalar>("Label").get<int>(); }),
              "Exception (Scalar::get() 145): \"Label\" is not of type int.");
    EXPECT_EQ(errorOf([&] { g.get<Scalar>("Key").get<std::string>(); }),
              "Exception (Scalar::get() 145): \"Key\" is not of type text.");
    EXPECT_EQ(errorOf([&] { com.get<double>("Baud"); }), "Exception (List::get() 170): \"Baud\" is not of type double.");
    const Array mixed("X-Columns", {ScalarValue(1), ScalarValue("2")});
    EXPECT_EQ(errorOf([&] { mixed.get(); }), "Exception (Array::get() 204): \"X-Columns\" is not of type list of int.");

    EXPECT_EQ(typeMismatchText({"Scalar::get()", "Baud", "int", 145}),
              "Exception (Scalar::get() 145): \"Baud\" is not of type int.");
    EXPECT_EQ(errorOf([] { throwScException("as given %d"); }), "as given %d");
}

TEST(JsonRoundTrip, DeviceFileReadsBackEqual)
{
    Group first = device("Lab \"A\" C:\\data\\run", -7, "ttyUSB0", 1.5);
    first.scalars.push_back({"Offset", -1234567.875});
    first.scalars.push_back({"Big", 1.7976931348623157e308});
    first.scalars.push_back({"Tiny", 4.9e-324});
    first.scalars.push_back({"Third", 1.0 / 3.0});
    first.scalars.push_back({"Whole", 1e20});
    first.scalars.push_back({"MinusZero", -0.0});
    first.scalars.push_back({"Empty", ""});
    first.scalars.push_back({"Digits", "7"});
    first.scalars.push_back({"Word", "true"});
    first.scalars.push_back({"Number", "-2.5e3"});
    first.scalars.push_back({"Unicode", "\xCE\xA9 \xE2\x86\x92 tab\there"});
    first.lists.push_back(List("Nothing"));
    first.arrays.push_back(Array("None"));
    first.arrays.push_back(Array("Mixed", {ScalarValue(1.25), ScalarValue("x"), ScalarValue(false), ScalarValue(-3)}));
    Group second = device("7", INT_MAX, "/dev/ttyS1", 2.0);
    second.scalars[1].value = INT_MIN;
    const Document document = {first, second, Group("Device")};

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("devices.json").toStdString();
    JsonFile writer(path, true);
    ASSERT_TRUE(writer.open());
    writeJsonDocument(*writer.stream, document);
    writer.stream->close();
    ASSERT_FALSE(writer.stream->fail());

    Document back;
    readJsonDocument(JsonFile(path, false), back);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back, document);
    EXPECT_TRUE(std::signbit(std::get<double>(back[0].get<Scalar>("MinusZero").value.value())));

    // Non-finite values have no JSON form of their own; they read back as written.
    std::ostringstream out;
    Group g("G");
    g.scalars = {{"n", std::numeric_limits<double>::quiet_NaN()}, {"i", -std::numeric_limits<double>::infinity()}};
    writeJsonDocument(out, {g});
    const Document nonFinite = parsed(out.str());
    EXPECT_TRUE(std::isnan(nonFinite.at(0).get<Scalar>("n").get<double>()));
    EXPECT_EQ(nonFinite.at(0).get<Scalar>("i").get<double>(), -std::numeric_limits<double>::infinity());
}

TEST(JsonReader, FilesOfTheEarlierWriterStillRead)
{
    // Six significant digits with an exponent, unescaped text, whole doubles
    // with ".0" and an unknown escape from a Windows path.
    const Document d = parsed("{\n"
                              "    \"Device\" : {\n"
                              "        \"Label\" : \"C:\\data\",\n"
                              "        \"Key\" : 0,\n"
                              "        \"Rate\" : 1.23457e+06,\n"
                              "        \"Small\" : 1.5e-05,\n"
                              "        \"COM\" : {\n"
                              "            \"Stop\" : 1.0\n"
                              "        }\n"
                              "    }\n"
                              "}\n");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].get<Scalar>("Label").get<std::string>(), "C:\\data");
    EXPECT_EQ(d[0].get<Scalar>("Rate").get<double>(), 1234570.0);
    EXPECT_EQ(d[0].get<Scalar>("Small").get<double>(), 1.5e-05);
    EXPECT_EQ(d[0].get<List>("COM").get<double>("Stop"), 1.0);
}

TEST(JsonReader, ValueKinds)
{
    struct Case {
        const char* text;
        int kind;
    } cases[] = {
        {"42", 0},    {"007", 0},  {"-5", 0},    {"+5", 3},     {"2.5", 1},   {"-2.0", 1},    {".5", 1},
        {"1e5", 1},   {"1E5", 1},  {"1.0E3", 1}, {"1.5e-3", 1}, {"5.", 3},    {"e5", 3},      {"-", 3},
        {"True", 3},  {"true", 2}, {"FALSE", 2}, {"null", 3},   {"NaN", 1},   {"-Infinity", 1}, {"", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scalarKind(c.text), c.kind) << c.text;

    EXPECT_EQ(scalarFromText("007"), ScalarValue(7));
    EXPECT_EQ(scalarFromText("-2147483648"), ScalarValue(INT_MIN));
    EXPECT_EQ(scalarFromText("1.0E3"), ScalarValue(1000.0));
    EXPECT_EQ(scalarFromText("+2.5"), ScalarValue(2.5));
    EXPECT_EQ(scalarFromText("1e-999"), ScalarValue(0.0));
    EXPECT_EQ(scalarFromText("FALSE"), ScalarValue(false));
    EXPECT_EQ(scalarFromText("null"), ScalarValue("null"));
    EXPECT_EQ(errorOf([] { scalarFromText("2147483648"); }), "the integer 2147483648 is out of range");
    EXPECT_EQ(errorOf([] { scalarFromText("1e999"); }), "the number 1e999 is out of range");
}

TEST(JsonReader, TreeShapes)
{
    // Quoted values stay text whatever they hold.
    Document d = parsed(R"({"G": {"s": "42", "t": "true", "n": null, "e": ""}})");
    EXPECT_EQ(d.at(0).scalars, (std::vector<Scalar>{{"s", "42"}, {"t", "true"}, {"n", "null"}, {"e", ""}}));

    // A top-level member that is no object is a group without members.
    d = parsed(R"({"Version": 3, "Device": {"Key": 1}})");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], Group("Version"));
    EXPECT_EQ(d[1].get<Scalar>("Key").get<int>(), 1);

    // A top-level array gives groups with empty names.
    d = parsed(R"([{"a": 1}, {"b": 2}])");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].name, "");
    EXPECT_EQ(d[1].get<Scalar>("b").get<int>(), 2);

    // A top-level array of plain values keeps its first element as a scalar
    // with an empty name.
    d = parsed(R"({"G": [5, 6, 7]})");
    EXPECT_EQ(d.at(0).scalars, (std::vector<Scalar>{{"", 5}}));

    // Deeper containers are skipped; a list of nothing but objects is dropped.
    d = parsed(R"({"G": {"L": {"a": 1, "deep": {"x": 1}, "arr": [1]}, "A": [1, [2], {"y": 3}, 4],
                         "Objects": {"o": {"z": 1}}}})");
    EXPECT_EQ(d.at(0).lists, (std::vector<List>{List("L", {{"a", 1}})}));
    EXPECT_EQ(d.at(0).arrays, (std::vector<Array>{Array("A", {ScalarValue(1), ScalarValue(4)})}));

    // Equal names: the first scalar, list or array of a name counts in a
    // group; a scalar and a list may share a name; list members all stay.
    d = parsed(R"({"G": {"x": 1, "x": 2, "x": {"m": 1, "m": 2}, "x": {"m": 3}, "y": [1], "y": [2]}})");
    EXPECT_EQ(d.at(0).scalars, (std::vector<Scalar>{{"x", 1}}));
    EXPECT_EQ(d.at(0).lists, (std::vector<List>{List("x", {{"m", 1}, {"m", 2}})}));
    EXPECT_EQ(d.at(0).arrays, (std::vector<Array>{Array("y", std::vector<int>{1})}));

    // Escapes, including a pair of \u escapes for one character.
    d = parsed(R"({"G": {"s": "a\"b\\c\/d\n\u00e9\ud835\udf0b"}})");
    EXPECT_EQ(d.at(0).get<Scalar>("s").get<std::string>(), "a\"b\\c/d\n\xC3\xA9\xF0\x9D\x9C\x8B");
}

TEST(JsonReader, ErrorsLeaveTheDocumentUnchanged)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "test.json(1): expected value"},
        {"{\n  \"a\": {\n    \"b\" 1\n  }\n}", "test.json(3): expected ':'"},
        {"{\"a\": {\"b\": 1}\n\n", "test.json(3): expected ',' or '}'"},
        {"{\"a\": {\"b\": \"open}}", "test.json(1): unterminated string"},
        {"{\"a\": {\"b\": 01x}}", "test.json(1): invalid value 01x"},
        {"{\"a\": {\"b\": 1}} x", "test.json(1): garbage after data"},
        {"{\"a\": {\"b\": [1,]}}", "test.json(1): expected value"},
        // A value out of range late in the file: nothing of the file is kept.
        {"{\"Device\": {\"Key\": 1},\n \"Device\": {\"Key\": 2147483648}}",
         "test.json(2): \"Key\": the integer 2147483648 is out of range"},
    };
    for (const Case& c : cases) {
        Document document = {Group("Kept")};
        EXPECT_EQ(errorOf([&] { parseJsonDocument(c.text, "test.json", document); }), c.message) << c.text;
        EXPECT_EQ(document, (Document{Group("Kept")})) << c.text;
    }

    QTemporaryDir dir;
    const std::string missing = dir.filePath("missing.json").toStdString();
    Document document;
    EXPECT_EQ(errorOf([&] { readJsonDocument(JsonFile(missing, false), document); }), missing + ": cannot open file");
    EXPECT_TRUE(document.empty());
}

TEST(JsonReader, NestingIsBounded)
{
    // Arrays and objects alternate: {"a": [{"a": [ ... ]}]}.
    auto nested = [](std::size_t levels) {
        std::string open, close;
        for (std::size_t i = 0; i < levels; ++i) {
            open += i % 2 ? "[" : "{\"a\": ";
            close += i % 2 ? "]" : "}";
        }
        return open + "1" + std::string(close.rbegin(), close.rend());
    };
    Document document;
    EXPECT_NO_THROW(parseJsonDocument(nested(kMaxJsonDepth), "test.json", document));
    for (const std::size_t levels : {kMaxJsonDepth + 1, std::size_t(1000000)}) {
        document = {Group("Kept")};
        EXPECT_EQ(errorOf([&] { parseJsonDocument(nested(levels), "test.json", document); }),
                  "test.json(1): objects and arrays are nested more than 512 levels deep")
            << levels;
        EXPECT_EQ(document, (Document{Group("Kept")}));
    }
}

TEST(JsonFileTest, OpensOnceInItsMode)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("f.json").toStdString();
    {
        std::ofstream(path) << "old content that is longer";
    }
    JsonFile writer(path, true);
    EXPECT_FALSE(writer.stream->is_open());
    ASSERT_TRUE(writer.open());
    JsonFile copy = writer;
    EXPECT_TRUE(copy.open()); // the copy shares the open stream
    *copy.stream << "{\n}\n";
    writer.stream->close();
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "{\n}\n");

    JsonFile bad(dir.filePath("no/such/dir/f.json").toStdString(), true);
    EXPECT_FALSE(bad.open());
    EXPECT_TRUE(bad.stream->fail());
    JsonFile reader(path, false);
    EXPECT_TRUE(reader.open());
}

} // namespace
