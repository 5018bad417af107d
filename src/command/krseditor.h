#pragma once
// The script editor: a top-level window with one tab per script (".krs",
// one command per line). Comment lines (starting with "-->") show in dark
// green; Comment Line and Uncomment Line switch the selected lines; F5 runs
// the current tab's script through the main window's script queue.
//
// The text is edited as plain text, so every character of a script (blanks,
// "<", ">", "&", quotes) survives loading, editing, saving and running.
// Scripts are read as UTF-8 (Latin-1 when they are not valid UTF-8) and
// written as UTF-8 with LF line ends. A save that fails is reported and the
// tab keeps its text and its unsaved mark.
#include "command/scriptlines.h"

#include <QHash>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QSyntaxHighlighter>

class QAction;
class RecentFilesMenu;
class TabWidgetEx;

// Whether a line starts with the comment marker (blanks, "-->").
bool isCommentLine(const QString& line);

// Colours comment lines dark green.
class KRSHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit KRSHighlighter(QTextDocument* document);
    static QColor commentColour() { return QColor(0, 96, 0); }

protected:
    void highlightBlock(const QString& text) override;
};

// One tab: the script as plain text.
class KRSEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    enum CommentMode { Comment = 0, Uncomment = 1 };

    explicit KRSEdit(QWidget* parent = nullptr);

    // Comments (prefix "--> ", whatever marker the line had) or uncomments
    // (removes the leading markers) every line the selection touches, or
    // the cursor's line. The rest of each line stays as it is.
    void commentSelection(int mode);

protected:
    // ">" completing "-->" at the start of a line makes it a comment line;
    // Backspace right after the blank of "--> " makes it a normal line.
    void keyPressEvent(QKeyEvent* event) override;
};

class KRSEditor : public QMainWindow {
    Q_OBJECT

public:
    // A null file opens one empty tab ("new 1"); any other path loads it.
    explicit KRSEditor(const QString& file = QString());
    ~KRSEditor() override;

    TabWidgetEx* tabWidget() const { return m_tabs; }
    KRSEdit* currentEdit() const;
    KRSEdit* edit(int index) const;
    // A tab's file (null for none), whether it has unsaved changes and
    // whether it was created empty and never saved.
    QString pathOf(KRSEdit* tab) const;
    bool isModified(KRSEdit* tab) const;
    bool isUntitled(KRSEdit* tab) const;
    // The tab holding that file, or null.
    KRSEdit* tabOf(const QString& path) const;
    RecentFilesMenu* recentMenu() const { return m_recent; }
    QAction* action(const QString& objectOrText) const;

    // Scripts larger than this are not opened (bytes).
    static constexpr qint64 kMaxScriptBytes = 32 * 1024 * 1024;

public Q_SLOTS:
    // Loads a script into a tab (the current one when it is empty).
    void loadFileContents(const QString& path);
    void loadFileContents();

private Q_SLOTS:
    void on_closeTab();
    void on_commentAdd();
    void on_commentDelete();
    void on_copy();
    void on_cut();
    void on_new();
    void on_openFile();
    void on_paste();
    void on_redo();
    void on_run();
    // Save As for an untitled tab, else a save to its file; false when
    // nothing was saved.
    bool on_saveFile();
    bool on_saveFileAs();
    void on_textChanged();
    void on_undo();

Q_SIGNALS:
    // The current tab's script lines, last line first.
    void run(const QStringList& lastFirst);
    // A file was written through Save As.
    void newFileSaved(const QString& path);

private:
    struct TabState {
        QString path;
        bool modified = false;
        bool untitled = false;
    };
    void buildMenus();
    KRSEdit* addTab(const QString& label);
    void setLabel(KRSEdit* tab, const QString& label);
    QString startFolder(KRSEdit* tab) const;
    // Writes the tab to a file; reports a failure; true when written.
    bool saveTo(KRSEdit* tab, const QString& path);
    // Asks whether to save a modified tab and saves on Yes; false when the
    // user said Yes and nothing could be saved.
    bool askToSave(KRSEdit* tab);
    void reportError(const QString& text);
    template <typename F>
    void onCurrentTab(F&& f);

    TabWidgetEx* m_tabs;
    RecentFilesMenu* m_recent = nullptr;
    QHash<KRSEdit*, TabState> m_state;
};
