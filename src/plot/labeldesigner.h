#pragma once
// The label designer: the editor window in which the user writes the
// formatted text of one plot label (title, axis labels, footnote, custom
// labels). Each label owns at most one designer, created on first use with
// the label as its parent. The designer edits rich text (fonts, bold,
// italic, underline, super- and subscript, alignment, colour), shows the
// markup on a second page, and loads and saves label templates (".etm").
//
// Label template file: the label's rich-text document laid out as an
// indented element tree (one tag or text run per line, four blanks per
// level, every line ending in a line feed), one byte per character in
// Latin-1; characters beyond Latin-1 are written as "&#N;". Reading trims
// every line and joins the lines. Blanks at the edges of a text run are
// written as "&#32;" so that trimming does not take them.
#include <QMainWindow>
#include <QString>
#include <QTextCharFormat>
#include <QTextEdit>

class QAction;
class QActionGroup;
class QComboBox;
class QStackedWidget;
class RecentFilesMenu;

// The rich-text editor of the designer: Return and Enter put a line break
// into the paragraph instead of starting a new one (a label is one
// paragraph with line breaks).
class LabelEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit LabelEdit(QWidget* parent = nullptr);

public Q_SLOTS:
    void on_verticalAlignmentChanged(QTextCharFormat::VerticalAlignment alignment);

Q_SIGNALS:
    // Normal 0, superscript 1, subscript 2.
    void verticalAlignmentChanged(int alignment);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

class LabelDesigner : public QMainWindow {
    Q_OBJECT

public:
    explicit LabelDesigner(QWidget* label);
    ~LabelDesigner() override;

    // Loads a label's text: the editor takes the label's font, the format
    // controls follow, the text is selected. The visible page stays.
    void setText(const QString& text);

    // Reading a template or the markup page: every line trimmed of blanks,
    // tabs, carriage returns and line feeds, the lines joined.
    static QString normalizedText(const QString& text);
    // The markup page and the template content: the document's element tree
    // indented by four blanks per level, one line per tag or text run.
    // Throws std::exception on markup it cannot read.
    static QString indentedMarkup(const QString& html);

    // The template file's bytes for a document (Latin-1, "&#N;" beyond).
    static QByteArray templateBytes(const QString& html);

    LabelEdit* editor() const { return m_editor; }
    QTextEdit* markupView() const { return m_markupView; }
    QStackedWidget* stack() const { return m_stack; }
    const QString& templatePath() const { return m_templatePath; }
    RecentFilesMenu* recentTemplates() const { return m_recentTemplates; }

public Q_SLOTS:
    // Reads a template into the editor, or writes the editor's document as
    // one. A file that cannot be read or written is reported in a "File
    // error" box and changes nothing (the old file stays whole).
    void loadTemplate(const QString& path);
    void saveTemplate(const QString& path);

Q_SIGNALS:
    void closed(const QString& text);

private Q_SLOTS:
    void alignmentChanged(int alignment);
    void colorChanged(const QColor& colour);
    void fontChanged(const QFont& font);
    void on_cancel();
    void on_done();
    void on_load();
    void on_save();
    void textAlign(QAction* action);
    void textBold();
    void textColor();
    void textFamily(const QString& family);
    void textItalic();
    void textSize(const QString& size);
    void textSubscript();
    void textSuperscript();
    void textUnderline();
    void viewMarkup();
    void viewRichtext();
    void verticalAlignmentChanged(int alignment);

private:
    // Puts a document into the editor, within the bounds of the toolkit's
    // rich text (beyond them without its markup, with a warning).
    void setEditorHtml(const QString& text);
    void buildMenus();
    // The chosen vertical alignment (super- or subscript) when its action is
    // on, with the other one off; normal when it is off.
    void setVerticalAlignment(QAction* chosen, QAction* other, int alignment);
    // The editor's document as the label and the templates store it.
    QString editorHtml() const;
    void fileError(const QString& text, const QString& path);

public:
    QStackedWidget* m_stack = nullptr;
    LabelEdit* m_editor = nullptr;
    QTextEdit* m_markupView = nullptr;
    QAction* m_actionSubscript = nullptr;
    QAction* m_actionSuperscript = nullptr;
    QAction* m_actionTextBold = nullptr;
    QAction* m_actionTextUnderline = nullptr;
    QAction* m_actionTextItalic = nullptr;
    QAction* m_actionTextColor = nullptr;
    QAction* m_actionAlignLeft = nullptr;
    QAction* m_actionAlignCenter = nullptr;
    QAction* m_actionAlignRight = nullptr;
    QAction* m_actionAlignJustify = nullptr;
    QComboBox* m_comboFont = nullptr;
    QComboBox* m_comboSize = nullptr;
    QWidget* m_label = nullptr;
    RecentFilesMenu* m_recentTemplates = nullptr;
    QString m_templatePath;
};
