#pragma once
// The filter coefficient view: a rich-text document listing a design's
// settings and coefficients, whose only context-menu entry exports them as an
// .m script or a text file.
#include <QString>
#include <QStringList>
#include <QTextEdit>

#include "analysis/filterdesign.h"

class FiltDesign;
class QTextDocument;

// The document of a design: a header by filter type, the response settings,
// the order, and the b and a coefficients (17 significant digits, so the
// export keeps the filter) in tables of two per row. Anchors name the parts
// the export reads.
QString coefficientDocument(int type, int response, int window, const FilterDesign& d);

// One coefficient row: the prefix, then the values padded to the widest
// plus one blank, at most five on a line (lines continued by "..." and
// aligned under the first value), closed by " ];" and a line break.
QString formatCoefficientRow(const QString& prefix, const QStringList& values);

// The visible text from the anchor to the end of its line; a null text when
// the document has no such anchor.
QString anchorText(const QTextDocument& doc, const QString& anchor);

// The texts of the table cells that carry the anchor ("bcoeff", "acoeff"),
// in document order.
QStringList anchoredCells(const QTextDocument& doc, const QString& anchor);

// The whole export file of the document.
QString coefficientFileText(const QTextDocument& doc);

class CoeffEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CoeffEdit(FiltDesign* design, QWidget* parent = nullptr);
    FiltDesign* m_design;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private Q_SLOTS:
    // Asks for a file and writes the coefficients as the view shows them.
    void exportCoefficients();
};
