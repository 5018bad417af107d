#pragma once
// The command console: a terminal-like text widget whose last line starts
// with the prompt "> ". Return submits the typed line to the dispatcher,
// which matches it against the command patterns and prepares one signal
// with the parsed arguments; the console emits it and then cmdExecuted().
// Every message of the program is printed here with transcript().
#include "command/commandhelp.h"
#include "command/commandhistory.h"
#include "command/commandlog.h"
#include "command/optstates.h"
#include "core/idarray.h"

#include <QPlainTextEdit>
#include <QRegularExpressionMatch>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CurveArgPattern;

class CommandEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    // Console kinds chosen by the main window.
    enum Kind { PlainConsole = 0, CommandConsole = 1, DebugConsole = 3 };

    explicit CommandEdit(const QString& banner, QWidget* parent = nullptr);
    ~CommandEdit() override;

    // Sets the kind once after construction: the log label and, for a
    // command or debug console, the history file (loaded here, written back
    // when the console is destroyed).
    void setConsoleKind(int kind);
    int consoleKind() const { return m_kind; }

    // History (see CommandHistory). The limit is the setting "history" + 1.
    void addHistory(const QString& line);
    void setHistoryLimit(int limit) { m_history.setLimit(limit); }
    const CommandHistory& history() const { return m_history; }
    // "<apppath><command|debug>.hist"; empty for a plain console.
    QString historyFilePath() const;

    const CommandLog& commandLog() const { return m_log; }
    const std::vector<CommandHelp>& helpTable() const { return m_help; }

    // Recognises one command line. True when a signal call has been
    // prepared (run it with runPendingCall()); false when the line was
    // empty, was carried out here, or was reported as an error.
    bool dispatch(const QString& line);

public Q_SLOTS:
    void clear();
    // Submits a line from program code; the flag says whether it enters the
    // history.
    void command(const QString& text, bool addToHistory = true);
    void copy();
    // Copies like copy(); console text is never removed.
    void cut();
    void enableLogFile(bool on);
    // Abandons the typed line and starts a fresh prompt.
    void insertBreak();
    void paste();
    void reportLogState();
    void setLogFile(const QString& name);
    // Prints a message above the prompt line; continuation lines are
    // indented by two blanks.
    void transcript(const QString& text);

private Q_SLOTS:
    void on_returnPressed();

Q_SIGNALS:
    void addhmarker(const QString& values);
    void adddmarker(int first, int second);
    void addvmarker(const QString& values);
    void addmult(const QString& line);
    void bar(OPTSTATES::QUADSTATE state);
    void barfloor(double value, bool query);
    void cache(int request);
    void cd(const QString& path);
    void clearplot();
    void closeall();
    void closetab(const QString& label);
    void cmdExecuted();
    void copycurves(const QString& spec);
    void crop(std::vector<double> limits, const IdArray& ids);
    void csum(const IdArray& ids);
    void debug(bool on);
    void differentiate(const IdArray& ids);
    void scriptReady();
    void scriptItem(const QString& line);
    void exit();
    void exec(const QString& commandLine);
    void expr(const QString& expression);
    void kroplot(const QString& line);
    void kroscript(const QString& call);
    void footnote(const QString& text);
    void function(const QString& name, char axis, bool perCurve, const IdArray& ids);
    void gran(double x, double y, OPTSTATES::DIMENSION_QUERY state);
    void grid(PDESIGN::GRIDLINES lines, bool on);
    void layout(const QString& word);
    void legend(const std::vector<std::string>& entries);
    void legendpos(const QString& position);
    void lines(const IdArray& ids, OPTSTATES::QUADSTATE state);
    void linewidth(int width);
    void link(const QString& address, uint port, const QString& label);
    void loaddevices(const QString& path);
    void ls(const QString& path, bool longListing);
    void mean(const IdArray& ids);
    void meanaggr(const IdArray& ids);
    void movecurves(const QString& spec);
    void ndiff(int order, const IdArray& ids);
    void newtab(const QString& label);
    void norm(double lower, double upper, const IdArray& ids);
    void pntrad(int radius);
    void pnts(const IdArray& ids, OPTSTATES::QUADSTATE state);
    void poly(int order, const QString& mode, const IdArray& ids);
    void pwd();
    void removeCurves(const IdArray& ids);
    void removeMarkers(const IdArray& ids);
    void rescale();
    void rotl(int points, const IdArray& ids);
    void rotr(int points, const IdArray& ids);
    void smooth(int points, const IdArray& ids, bool replace);
    void sort(const IdArray& ids);
    void span(std::pair<double, double> limits, bool xAxis);
    void stats();
    void tablabel(const QString& label);
    void title(const QString& text);
    // Takes the place of the text widget's own undo: Ctrl+Z and the undo
    // command undo the last data operation of the current plot.
    void undo();
    void unwrap(double phase, const IdArray& ids);
    void usingtab(const QString& label);
    void xlabel(const QString& text);
    void ylabel(const QString& text);
    void verbosestate(OPTSTATES::QUADSTATE state);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void dropEvent(QDropEvent* event) override;

private:
    // One entry of the ordered command table.
    using Handler = bool (CommandEdit::*)(const QString& line, const QRegularExpressionMatch& m);
    struct CommandPattern;
    static const std::vector<CommandPattern>& commandPatterns();

    // Runs the prepared call (a copy of it, so a call that dispatches
    // another line cannot destroy the one running) and emits cmdExecuted().
    void runPendingCall();
    // Binds a signal and copies of its arguments as the prepared call.
    template <typename... Params, typename... Args>
    bool prepare(void (CommandEdit::*signal)(Params...), Args&&... args);

    // Helpers shared by the command handlers.
    static QString stripCommandWord(const QString& line, const QRegularExpressionMatch& m);
    bool checkArguments(const QString& line, const QRegularExpressionMatch& m, const QString& name);
    static bool isCommandWord(const QString& line, const QString& word);
    bool parseIdArgs(const QString& line, IdArray& ids, int options, int* kind = nullptr);
    bool parseIdArgsWithPattern(const QString& line, IdArray& ids, const CurveArgPattern& pattern);
    bool fallback(const QString& line);
    // A command word with one optional integer (a query without it): the value
    // must lie in [lowest, highest], else the usage text is printed.
    bool intSettingCommand(const QString& line, const QRegularExpressionMatch& m, void (CommandEdit::*signal)(int),
                           int lowest, int highest, const char* usageText);

    // Command handlers, in the dispatcher's order.
    bool onAddFamily(const QString&, const QRegularExpressionMatch&);
    bool onBar(const QString&, const QRegularExpressionMatch&);
    bool onBarfloor(const QString&, const QRegularExpressionMatch&);
    bool onCache(const QString&, const QRegularExpressionMatch&);
    bool onCacheRetrieve(const QString&, const QRegularExpressionMatch&);
    bool onCd(const QString&, const QRegularExpressionMatch&);
    bool onClear(const QString&, const QRegularExpressionMatch&);
    bool onCloseAll(const QString&, const QRegularExpressionMatch&);
    bool onCloseTab(const QString&, const QRegularExpressionMatch&);
    bool onCopy(const QString&, const QRegularExpressionMatch&);
    bool onCrop(const QString&, const QRegularExpressionMatch&);
    bool onCsum(const QString&, const QRegularExpressionMatch&);
    bool onDebug(const QString&, const QRegularExpressionMatch&);
    bool onDiff(const QString&, const QRegularExpressionMatch&);
    bool onDmark(const QString&, const QRegularExpressionMatch&);
    bool onExec(const QString&, const QRegularExpressionMatch&);
    bool onExit(const QString&, const QRegularExpressionMatch&);
    bool onExpr(const QString&, const QRegularExpressionMatch&);
    bool onKro(const QString&, const QRegularExpressionMatch&);
    bool onScriptFile(const QString&, const QRegularExpressionMatch&);
    bool onFootnote(const QString&, const QRegularExpressionMatch&);
    bool onStatistic(const QString&, const QRegularExpressionMatch&);
    bool onGran(const QString&, const QRegularExpressionMatch&);
    bool onGrid(const QString&, const QRegularExpressionMatch&);
    bool onHelp(const QString&, const QRegularExpressionMatch&);
    bool onHistory(const QString&, const QRegularExpressionMatch&);
    bool onHmark(const QString&, const QRegularExpressionMatch&);
    bool onLayout(const QString&, const QRegularExpressionMatch&);
    bool onLegend(const QString&, const QRegularExpressionMatch&);
    bool onLegendPos(const QString&, const QRegularExpressionMatch&);
    bool onLine(const QString&, const QRegularExpressionMatch&);
    bool onLineWidth(const QString&, const QRegularExpressionMatch&);
    bool onLink(const QString&, const QRegularExpressionMatch&);
    bool onLoadDevices(const QString&, const QRegularExpressionMatch&);
    bool onLs(const QString&, const QRegularExpressionMatch&);
    bool onMean(const QString&, const QRegularExpressionMatch&);
    bool onMeanAggr(const QString&, const QRegularExpressionMatch&);
    bool onMove(const QString&, const QRegularExpressionMatch&);
    bool onNewTab(const QString&, const QRegularExpressionMatch&);
    bool onNorm(const QString&, const QRegularExpressionMatch&);
    bool onPntRad(const QString&, const QRegularExpressionMatch&);
    bool onPnts(const QString&, const QRegularExpressionMatch&);
    bool onPoly(const QString&, const QRegularExpressionMatch&);
    bool onPwd(const QString&, const QRegularExpressionMatch&);
    bool onRemoveMarkers(const QString&, const QRegularExpressionMatch&);
    bool onRemove(const QString&, const QRegularExpressionMatch&);
    bool onRescale(const QString&, const QRegularExpressionMatch&);
    bool onRotl(const QString&, const QRegularExpressionMatch&);
    bool onRotr(const QString&, const QRegularExpressionMatch&);
    bool onSink(const QString&, const QRegularExpressionMatch&);
    bool onSmooth(const QString&, const QRegularExpressionMatch&);
    bool onSort(const QString&, const QRegularExpressionMatch&);
    bool onSpan(const QString&, const QRegularExpressionMatch&);
    bool onStats(const QString&, const QRegularExpressionMatch&);
    bool onTabLabel(const QString&, const QRegularExpressionMatch&);
    bool onTitle(const QString&, const QRegularExpressionMatch&);
    bool onUndo(const QString&, const QRegularExpressionMatch&);
    bool onUnwrap(const QString&, const QRegularExpressionMatch&);
    bool onUsingTab(const QString&, const QRegularExpressionMatch&);
    bool onVmark(const QString&, const QRegularExpressionMatch&);
    bool onVerbose(const QString&, const QRegularExpressionMatch&);
    bool onVersion(const QString&, const QRegularExpressionMatch&);
    bool onXLabel(const QString&, const QRegularExpressionMatch&);
    bool onYLabel(const QString&, const QRegularExpressionMatch&);

    // Shared bodies of similar commands.
    bool idCommand(const QString& line, void (CommandEdit::*signal)(const IdArray&));
    bool rotate(const QString& line, const QRegularExpressionMatch& m, bool left);
    bool linesOrPoints(const QString& line, bool points);
    bool removeIds(const QString& line, int options, void (CommandEdit::*signal)(const IdArray&));

    // Console internals.
    void showHelpList();
    void showCommandHelp(const std::string& word);
    void logCommand(const QString& text);
    QTextCursor cursorAt(int block, int index) const;
    void recordPromptPosition();
    void scrollToLeft();
    bool cursorOnPromptLine() const;
    void restrictSelectionToInput();
    void moveToInput();
    void resetPromptLine();
    void recallHistory(bool previous);
    void completeFileName();
    void endCompletion();
    void pasteText(const QString& text);
    QString selectionWithoutPrompts() const;

    std::function<void()> m_pendingCall;
    std::vector<CommandHelp> m_help;
    CommandHistory m_history;
    CommandLog m_log;
    int m_kind = PlainConsole;

    // The prompt line (block) and where typing resumes on it.
    int m_promptBlock = 0;
    int m_promptIndex = 2;
    // The first block after the banner: copying never reaches before it.
    int m_firstInputBlock = 0;

    // Tab completion: one run lasts from the first Tab to the next other key.
    struct Completion {
        bool active = false;
        QString stem;  // the prompt line when the run started (prompt excluded)
        int wordStart = -1;
        int wordEnd = 0;
        QString word;
        int counter = 0;
    } m_completion;
};
