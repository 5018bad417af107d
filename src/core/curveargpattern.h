#pragma once
// The argument grammar of a command line and the id-list parser.
//
// A CurveArgPattern is an ordered list of regular expressions, each anchored
// at the start of what remains of the line, that must consume the whole line
// part by part: "crop 10 20 C1 C3" fits [command word, two reals, optional
// two reals, curve ids, optional "all"]. parseIdList turns the curve ids
// (C1 ...), marker ids (M1 ...) and the words "all", "on" and "off" of a line
// into an IdArray and checks the line against a grammar while doing so.
#include "core/idarray.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

// Options of parseIdList, combined with |.
enum IDLIST_OPTION : int {
    ID_ALL = 1,            // the word "all" is an item
    ID_OFF = 2,            // the word "off" is an item
    ID_ON = 4,             // the word "on" is an item
    ID_MARKERS = 64,       // ids are markers M<n>, numbers kept as typed
    ID_EMPTY_IS_ALL = 128, // a line with no item selects every curve
};

// What parseIdList found.
enum IDLIST_KIND : int {
    IDS_ALL = 1,   // first item "all"
    IDS_OFF = 2,   // first item "off"
    IDS_ON = 4,    // first item "on"
    IDS_NONE = 8,  // no item
    IDS_LIST = 32, // explicit ids
};

class CurveArgPattern {
public:
    // An empty grammar with no argument limit; withCommandWord adds the
    // command-word element first.
    explicit CurveArgPattern(bool withCommandWord = false);

    // Appends any element text, anchored at the start of the remaining line.
    void addPattern(const QString& text);
    // A literal word (itself a regular expression, e.g. "overlay|replace").
    void addWord(const QString& word, bool optional = false);
    // Zero or more curve ids C<digits>; the element is always optional.
    void addCurveIds(bool optional = true);
    // A statistic call such as max(x C1 C2).
    void addFunction(bool optional = false);
    // An optionally signed whole number.
    void addInteger(bool optional = false);
    // One optional real number.
    void addReal();
    // Exactly count reals (count > 0), or a run of reals of any length.
    void addReals(bool optional, int count);
    // An optional multiple of pi: pi, -pi, 2pi, 2*pi, .5pi.
    void addPiMultiple();
    // The largest number of non-empty parts after the first (-1: no limit).
    void setMaxArguments(int n) { m_maxArguments = n; }
    int maxArguments() const { return m_maxArguments; }

    // True when the elements, in order, consume the whole line (white space
    // simplified; one blank or comma between parts). An empty grammar and an
    // empty text always match.
    bool matches(const QString& text) const;
    // Argument n: with a command word first, argument 0 is the first
    // non-empty part after it. Empty when an element does not match, null
    // when the line gives no such part.
    QString argument(const QString& text, int n) const;

    // The element texts as stored (each "(^...)").
    QStringList patternTexts() const;
    int size() const { return static_cast<int>(m_patterns.size()); }

    // Element texts shared with other users of the grammar.
    static QString commandWordElement();
    static QString curveIdsElement();
    static QString markerIdsElement();
    static QString functionElement(bool optional);
    static QString integerElement(bool optional);
    static QString realElement();
    static QString realsElement(bool optional, int count);
    static QString piMultipleWord();

private:
    struct Element {
        QString text; // "(^...)"
        QRegularExpression re;
    };
    QList<Element> m_patterns;
    int m_maxArguments = -1;
};

// Throws kroexception "Command Info: The command \"<line>\" is not properly
// formatted." when the pattern does not match the line.
void validateCommand(const QString& line, const CurveArgPattern& pattern);

// Builds the id list of text into ids, stores the outcome (IDLIST_KIND) in
// *kind when given, then validates text against pattern (throws as
// validateCommand; ids then already holds the list, which nobody uses).
void parseIdList(const QString& text, IdArray& ids, const CurveArgPattern& pattern, int options,
                 int* kind = nullptr);

// The standard id grammar of a command: command word; marker ids (one or
// more, with ID_MARKERS) or curve ids; then the optional words "all", "on"
// and "off" as the options allow.
CurveArgPattern standardIdPattern(int options);
