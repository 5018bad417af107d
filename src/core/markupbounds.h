#pragma once
// Bounds on what any label, message, table cell or document hands to the
// toolkit's rich text. Its layout recurses into nested tables (each level
// costing about twice the one inside it), resolves styles over the chain of
// open elements and reads every image a tag names, so a text from a user, a
// file, a host or a link could otherwise stall or crash a redraw. Text
// within the bounds is drawn as written; text beyond them is shown without
// its markup, and the caller reports why.
#include <QString>

namespace kro {

inline constexpr int kMaxMarkupDepth = 32;    // elements open at once
inline constexpr int kMaxTableDepth = 4;      // tables inside tables
inline constexpr int kMaxMarkupTables = 32;   // tables in one text
inline constexpr int kMaxMarkupTags = 400;    // opening tags in one text
inline constexpr int kMaxRichTextLength = 10000; // characters shown
inline constexpr int kMaxMarkupLength = 65536;   // characters with the markup

// Why this text must not reach the toolkit's rich text (a sentence without
// final full stop, e.g. "The markup is nested more than 32 levels deep");
// empty when it may. Images and backgrounds must name regular files (or
// built-in resources): a device or a pipe would be read without end.
QString richTextProblem(const QString& text);

// The text itself when richTextProblem finds nothing; otherwise its visible
// characters (tags, style sheets and comments removed, at most
// kMaxRichTextLength characters), and *problem (when given) becomes the
// reason followed by "; the text is shown without its markup". *problem is
// emptied for a text within the bounds.
QString boundedRichText(const QString& text, QString* problem = nullptr);

} // namespace kro
