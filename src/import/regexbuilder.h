#pragma once
// The regular-expression tool: a window in which the user tries patterns on
// the first lines of a data file before using one with the plot command's
// "-regex" option. Each tab holds a testpad (an RxbView): the text, a
// pattern box, "Match Lines", "Search" and "Reset"; matches show in colour.
// Patterns are compiled and lines are tested exactly as a load does, and
// after a search the status bar tells how many of the lines shown a load
// with that pattern would read. The window remembers its last folder, its
// ten most recent files and the search history.
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QTabWidget;
class QTextDocument;
class QTextEdit;
template <typename T>
class QFutureWatcher;

namespace kro::import {
struct RegexSearchOutcome;
}
struct RxbSearchResult;

class RxbView : public QWidget {
    Q_OBJECT

public:
    enum Mode { ReadOnly, Testpad };
    // A testpad's pattern box lists the shared search history.
    RxbView(QWidget* parent, Mode mode, QStringList* history = nullptr);
    ~RxbView() override;

    QTextEdit* textView() const { return m_text; }
    QComboBox* patternBox() const { return m_pattern; }
    QCheckBox* matchLinesBox() const { return m_matchLines; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* resetButton() const { return m_reset; }

    // The text shown while no match is highlighted (with the user's edits).
    const QString& plainText() const;
    // Shows a text as plain, editable text.
    void setPlainText(const QString& text);
    // True while no highlight is shown.
    bool isPlain() const { return m_plainFlag; }
    // The pattern of the last search started (as searched, blanks turned
    // into "\s"; without the Match Lines wrapping).
    const QString& searchedPattern() const { return m_searchedPattern; }
    // True from the start of a search until its result is shown.
    bool isSearching() const { return m_searchPending; }
    int previewLines() const { return m_previewLines; }
    void setPreviewLines(int lines) { m_previewLines = lines; }
    // The file whose lines the page shows (empty for a blank testpad).
    const QString& fileName() const { return m_file; }
    void setFileName(const QString& path) { m_file = path; }

public Q_SLOTS:
    void checkReturnPress();
    bool checkValidity(const QString& text);
    void clearMatches();
    void findMatches();
    void textChanged();

private:
    void searchDone();
    void showStatus(const QString& text);

    QTextEdit* m_text;
    QComboBox* m_pattern = nullptr;
    QCheckBox* m_matchLines = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_reset = nullptr;
    QStringList* m_history;
    // The editable text lives in its own document; a search's result is a
    // second document, built on the worker and shown in its place, so that
    // neither showing matches nor Reset rebuilds a large text here.
    QTextDocument* m_plainDocument = nullptr;
    std::shared_ptr<QTextDocument> m_shown;
    mutable QString m_plain;
    mutable bool m_plainStale = false;
    int m_previewLines = 100;
    bool m_plainFlag = true;
    QString m_file;
    QString m_searchedPattern;
    // The running search: results of an older one are dropped.
    QFutureWatcher<RxbSearchResult>* m_watcher = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    unsigned m_generation = 0;
    unsigned m_searchGeneration = 0;
    bool m_searchPending = false;
};

class RegexBuilder : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kMaxRecentFiles = 10;
    static constexpr int kMaxHistory = 20;

    explicit RegexBuilder(QWidget* parent = nullptr);
    // Writes the last folder, the recent files and the search history.
    ~RegexBuilder() override;

    const QString& lastPath() const { return m_lastPath; }
    const QStringList& recentFiles() const { return m_recentFiles; }
    const QStringList& searchHistory() const { return m_searchHistory; }
    QTabWidget* tabs() const { return m_tabs; }
    QMenu* fileMenu() const { return m_fileMenu; }
    // The entries of the recent files in the File menu, in list order.
    const QList<QAction*>& recentActions() const { return m_recentActions; }
    // The page of the current tab.
    RxbView* currentView() const;

    void updateRecentMenu(const QString& path = QString());
    void removeMissingRecent(int index);

public Q_SLOTS:
    void clearsearchhist();
    void fileOpen();
    void fileOpen(int index);
    void fileOpen(int index, RxbView* page);
    void fileNew();
    void setpreviewlines();
    void quit();

private:
    // Opens a file into the page (a new testpad when null). recentIndex is
    // the file's recent entry, -1 when it was chosen in the dialog.
    bool openPath(const QString& path, int recentIndex, RxbView* page);
    RxbView* newTestpad(const QString& label);
    QString uniqueLabel(const QString& name) const;

    QString m_lastPath;
    QStringList m_recentFiles;
    QStringList m_searchHistory;
    QList<QAction*> m_recentActions;
    QAction* m_recentSeparator = nullptr;
    QAction* m_exitSeparator = nullptr;
    QMenu* m_fileMenu = nullptr;
    QTabWidget* m_tabs = nullptr;
    bool m_fileLoaded = false;
};
