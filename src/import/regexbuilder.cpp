#include "import/regexbuilder.h"

#include "core/appfolders.h"
#include "import/lineregex.h"
#include "import/previewreader.h"
#include "import/textcodec.h"
#include "platform/prompter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

using kro::import::RegexSearchOutcome;

// What a search hands back: the matches, and the text with them in colour
// as a document ready to be shown (null when nothing matched or the search
// was stopped).
struct RxbSearchResult {
    RegexSearchOutcome outcome;
    std::shared_ptr<QTextDocument> document;
};

namespace {

// Blank testpads are numbered across the whole run.
int g_testpadCounter = 0;

QFont viewFont()
{
    QFont f;
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(10);
    return f;
}

// The text with its highlighted parts in colour, built wherever the search
// runs; null when stopped. Inserting fragments keeps the text literal, markup
// and white space included.
std::shared_ptr<QTextDocument> highlightedDocument(const std::string& text,
                                                   const std::vector<kro::import::TextMatch>& matches,
                                                   const QFont& font, const std::atomic<bool>& cancel)
{
    // Deleted by its own thread's event loop, wherever the last owner lets go.
    std::shared_ptr<QTextDocument> doc(new QTextDocument, [](QTextDocument* d) { d->deleteLater(); });
    doc->setDefaultFont(font);
    doc->setUndoRedoEnabled(false);
    QTextCharFormat plain;
    QTextCharFormat marked;
    marked.setForeground(QColor(0x00, 0x80, 0xFF));
    QTextCursor cursor(doc.get());
    cursor.beginEditBlock();
    auto insert = [&](std::size_t begin, std::size_t end, const QTextCharFormat& format) {
        if (end > begin)
            cursor.insertText(QString::fromUtf8(text.data() + begin, qsizetype(end - begin)), format);
    };
    std::size_t done = 0;
    std::size_t count = 0;
    for (const kro::import::TextMatch& r : kro::import::highlightRanges(text, matches)) {
        if (++count % 1024 == 0 && cancel.load())
            return nullptr;
        insert(done, r.offset, plain);
        insert(r.offset, r.offset + r.length, marked);
        done = r.offset + r.length;
    }
    insert(done, text.size(), plain);
    cursor.endEditBlock();
    return cancel.load() ? nullptr : doc;
}

} // namespace

// ---------------------------------------------------------------- page

RxbView::RxbView(QWidget* parent, Mode mode, QStringList* history)
    : QWidget(parent), m_text(new QTextEdit(this)), m_history(history)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    m_text->setFont(viewFont());
    if (mode == ReadOnly) {
        m_text->setReadOnly(true);
        m_text->setAcceptRichText(true);
        return;
    }
    m_text->setAcceptRichText(false);
    m_plainDocument = new QTextDocument(this);
    m_plainDocument->setDefaultFont(m_text->font());
    m_text->setDocument(m_plainDocument);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    m_pattern = new QComboBox(this);
    m_pattern->setEditable(true);
    m_pattern->setInsertPolicy(QComboBox::NoInsert);
    m_pattern->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_pattern->setToolTip(tr("Enter a regular-expression, or select one\nfrom your history."));
    if (m_history)
        m_pattern->addItems(*m_history);
    m_pattern->setEditText(QString());
    m_matchLines = new QCheckBox(tr("Match Lines"), this);
    m_matchLines->setToolTip(tr("Enable this to highlight the entire line\nwhen any part of the line matches your\n"
                                "regular-expression."));
    m_search = new QPushButton(tr("Search"), this);
    m_search->setToolTip(tr("Click to apply your regular-expression to the text.\nMatches within the text will be "
                            "highlighted."));
    m_search->setEnabled(false);
    m_search->setDefault(true);
    m_reset = new QPushButton(tr("Reset"), this);
    m_reset->setToolTip(tr("Clear all previous matches. Note, you can edit the\ntext only when it is cleared (i.e. when "
                           "there are\ncurrently no highlighted matches.)"));
    row->addWidget(m_pattern, 1);
    row->addWidget(m_matchLines);
    row->addWidget(m_search);
    row->addWidget(m_reset);
    layout->addLayout(row);

    connect(m_text, &QTextEdit::textChanged, this, &RxbView::textChanged);
    connect(m_pattern, &QComboBox::textActivated, this, &RxbView::checkValidity);
    connect(m_pattern, &QComboBox::editTextChanged, this, &RxbView::checkValidity);
    connect(m_pattern->lineEdit(), &QLineEdit::returnPressed, this, &RxbView::checkReturnPress);
    connect(m_search, &QPushButton::clicked, this, &RxbView::findMatches);
    connect(m_reset, &QPushButton::clicked, this, &RxbView::clearMatches);
}

RxbView::~RxbView()
{
    // A search still running works on its own copies; it is told to stop
    // and waited for. The view lets go of a shown result first.
    if (m_cancel)
        m_cancel->store(true);
    if (m_watcher)
        m_watcher->waitForFinished();
    if (m_plainDocument)
        m_text->setDocument(m_plainDocument);
}

const QString& RxbView::plainText() const
{
    if (m_plainStale) {
        m_plain = m_plainDocument->toPlainText();
        m_plainStale = false;
    }
    return m_plain;
}

void RxbView::showStatus(const QString& text)
{
    if (auto* main = qobject_cast<QMainWindow*>(window()))
        main->statusBar()->showMessage(text);
}

bool RxbView::checkValidity(const QString& text)
{
    if (!m_search)
        return false;
    m_search->setEnabled(!text.isEmpty() && !isSearching());
    return m_search->isEnabled();
}

void RxbView::checkReturnPress()
{
    if (m_pattern && checkValidity(m_pattern->currentText()))
        findMatches();
}

void RxbView::setPlainText(const QString& text)
{
    m_plain = text;
    m_plainStale = false;
    if (m_plainDocument) {
        clearMatches();
        const QSignalBlocker block(m_text);
        m_plainDocument->setPlainText(text);
    } else {
        m_text->setPlainText(text);
    }
}

void RxbView::clearMatches()
{
    // A search still running is abandoned; its result, should it still
    // come, is dropped.
    if (m_cancel)
        m_cancel->store(true);
    ++m_generation;
    m_searchPending = false;
    if (!m_plainDocument)
        return;
    {
        // The editable text was kept aside: showing it again costs nothing.
        const QSignalBlocker block(m_text);
        if (m_text->document() != m_plainDocument)
            m_text->setDocument(m_plainDocument);
        m_shown.reset();
        m_text->setReadOnly(false);
    }
    m_plainFlag = true;
    if (m_pattern)
        checkValidity(m_pattern->currentText());
}

void RxbView::textChanged()
{
    // Read when next needed: a large text is not copied on every key.
    if (!m_text->isReadOnly() && m_text->document() == m_plainDocument)
        m_plainStale = true;
}

void RxbView::findMatches()
{
    if (!m_pattern)
        return;
    clearMatches();
    m_plainFlag = false;
    const QString pattern = kro::import::blanksAsWhitespace(m_pattern->currentText());
    if (m_history) {
        m_history->removeAll(pattern);
        m_history->prepend(pattern);
        while (m_history->size() > RegexBuilder::kMaxHistory)
            m_history->removeLast();
    }
    {
        const QSignalBlocker block(m_pattern);
        const int earlier = m_pattern->findText(pattern, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (earlier >= 0)
            m_pattern->removeItem(earlier);
        m_pattern->insertItem(0, pattern);
        m_pattern->setCurrentIndex(0);
    }

    const QString search = m_matchLines->isChecked() ? QStringLiteral("^.*?%1.*?$").arg(pattern) : pattern;
    kro::import::LineRegex searchRegex;
    std::string error;
    if (!searchRegex.compile(search.toStdString(), &error)) {
        m_plainFlag = true;
        kro::prompter().warning(this, tr("Regex Error"),
                                tr("The regular expression is invalid\n%1.").arg(QString::fromLocal8Bit(error.c_str())),
                                QMessageBox::Ok);
        return;
    }
    // The lines a load would read are those the typed pattern matches whole.
    kro::import::LineRegex lineRegex;
    lineRegex.compile(pattern.toStdString());

    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_searchGeneration = m_generation;
    m_searchedPattern = pattern;
    if (!m_watcher) {
        m_watcher = new QFutureWatcher<RxbSearchResult>(this);
        connect(m_watcher, &QFutureWatcherBase::finished, this, &RxbView::searchDone);
    }
    m_searchPending = true;
    m_search->setEnabled(false);
    m_text->setReadOnly(true);
    showStatus(tr("Searching..."));
    // The search and the coloured text are made on a worker; the result
    // document moves to this thread before it is handed back.
    m_watcher->setFuture(QtConcurrent::run([regex = searchRegex.regex(), lineRegex, text = plainText().toStdString(),
                                            cancel = m_cancel, font = m_text->font(), home = thread()] {
        RxbSearchResult result;
        result.outcome = kro::import::runRegexSearch(regex, lineRegex, text, cancel.get());
        if (result.outcome.error.empty() && !result.outcome.matches.empty() && !cancel->load()) {
            result.document = highlightedDocument(text, result.outcome.matches, font, *cancel);
            if (result.document)
                result.document->moveToThread(home);
        }
        return result;
    }));
}

void RxbView::searchDone()
{
    if (m_searchGeneration != m_generation) {
        // Reset or a new search came first: this result is stale.
        showStatus(QString());
        return;
    }
    m_searchPending = false;
    checkValidity(m_pattern->currentText());
    const RxbSearchResult result = m_watcher->result();
    const RegexSearchOutcome& outcome = result.outcome;
    if (!outcome.error.empty()) {
        showStatus(QString());
        m_plainFlag = true;
        m_text->setReadOnly(false);
        kro::prompter().warning(this, tr("Regex Error"),
                                tr("The regular expression could not be applied to this text\n%1.")
                                    .arg(QString::fromLocal8Bit(outcome.error.c_str())),
                                QMessageBox::Ok);
        return;
    }
    // The pattern that was searched, whatever has been typed since.
    const QString& pattern = m_searchedPattern;
    if (outcome.linesRead >= 0)
        showStatus(tr("%1 of %2 lines would be read by a plot command with -regex \"%3\".")
                       .arg(outcome.linesRead)
                       .arg(outcome.lines)
                       .arg(pattern));
    else
        showStatus(QString());
    if (outcome.matches.empty() || !result.document) {
        m_plainFlag = true;
        m_text->setReadOnly(false);
        return;
    }
    const QSignalBlocker block(m_text);
    m_shown = result.document;
    m_text->setDocument(m_shown.get());
    m_text->setReadOnly(true);
    m_plainFlag = false;
}

// ---------------------------------------------------------------- window

RegexBuilder::RegexBuilder(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(tr("KRO - Regular-Expression Testing Ground"));
    {
        const auto settings = kro::platform::openRegexBuilderSettings();
        m_lastPath = settings->value(QStringLiteral("lastpath"), QString()).toString();
        m_recentFiles = settings->value(QStringLiteral("recentfiles")).toStringList();
        m_searchHistory = settings->value(QStringLiteral("searchhist")).toStringList();
    }
    while (m_recentFiles.size() > kMaxRecentFiles)
        m_recentFiles.removeLast();
    while (m_searchHistory.size() > kMaxHistory)
        m_searchHistory.removeLast();

    m_fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* open = m_fileMenu->addAction(tr("&Open an existing file"), this, qOverload<>(&RegexBuilder::fileOpen));
    open->setShortcut(QKeySequence(tr("Ctrl+O")));
    QAction* blank = m_fileMenu->addAction(tr("&New (blank) page"), this, &RegexBuilder::fileNew);
    blank->setShortcut(QKeySequence(tr("Ctrl+N")));
    m_recentSeparator = m_fileMenu->addSeparator();
    m_exitSeparator = m_fileMenu->addSeparator();
    QAction* exit = m_fileMenu->addAction(tr("Exit"), this, &RegexBuilder::quit);
    exit->setShortcut(QKeySequence(tr("Alt+X")));
    QMenu* options = menuBar()->addMenu(tr("&Options"));
    QAction* lines = options->addAction(tr("Number of Preview &Lines"), this, &RegexBuilder::setpreviewlines);
    lines->setShortcut(QKeySequence(tr("Ctrl+L")));
    QAction* clear = options->addAction(tr("Clear Search &History"), this, &RegexBuilder::clearsearchhist);
    clear->setShortcut(QKeySequence(tr("Ctrl+H")));

    m_tabs = new QTabWidget(this);
    setCentralWidget(m_tabs);
    auto* instructions = new RxbView(m_tabs, RxbView::ReadOnly);
    instructions->textView()->setHtml(
        tr("<h1>Instructions</h1>") + tr("Use this tool to test regular-expressions for parsing your input data files. ")
        + tr("Regular expressions can sometimes be quite complex. With this tool you can ")
        + tr("be sure that your regular-expressions are working as expected.") + QStringLiteral("<ol>")
        + tr("<li>From the File menu, open a data file of interest</li>")
        + tr("<li>Enter a regular expression in the box at the bottom</li>")
        + tr("<li>Click Search and any matching strings will be highlighted.</li>") + QStringLiteral("</ol>")
        + tr("Leave the Match Lines checkbox unchecked to highlight the exact matches within each ")
        + tr("line<br>")
        + tr("<b>or</b><br>check the Match Lines checkbox to highlight the entire line when there are ")
        + tr("any matches within.<br><br>")
        + tr("The default number of displayed lines is %1. To change the number of displayed lines ").arg(100)
        + tr("select \"Number of Preview Lines\" from the Options menu, or press Ctrl+L on your keyboard.<br>")
        + QStringLiteral("<br>")
        + tr("Your searches are automatically saved to a search history, for later retrieval. To clear your ")
        + tr("search history, select \"Clear Search History\" from the Options menu, or press Ctrl+H."));
    m_tabs->addTab(instructions, tr("Instructions"));

    setMinimumSize(500, 600);
    statusBar();
    updateRecentMenu();
}

RegexBuilder::~RegexBuilder()
{
    const auto settings = kro::platform::openRegexBuilderSettings();
    settings->setValue(QStringLiteral("lastpath"), m_lastPath);
    settings->setValue(QStringLiteral("recentfiles"), m_recentFiles);
    settings->setValue(QStringLiteral("searchhist"), m_searchHistory);
}

RxbView* RegexBuilder::currentView() const { return qobject_cast<RxbView*>(m_tabs->currentWidget()); }

RxbView* RegexBuilder::newTestpad(const QString& label)
{
    auto* page = new RxbView(m_tabs, RxbView::Testpad, &m_searchHistory);
    m_tabs->addTab(page, label);
    m_tabs->setCurrentWidget(page);
    return page;
}

QString RegexBuilder::uniqueLabel(const QString& name) const
{
    auto taken = [this](const QString& label) {
        for (int i = 0; i < m_tabs->count(); ++i)
            if (m_tabs->tabText(i) == label)
                return true;
        return false;
    };
    QString label = name;
    for (int n = 2; taken(label); ++n)
        label = QStringLiteral("%1 (%2)").arg(name).arg(n);
    return label;
}

void RegexBuilder::fileNew() { newTestpad(tr("Testpad %1").arg(++g_testpadCounter)); }

void RegexBuilder::fileOpen()
{
    const QString path = kro::prompter().getOpenFileName(this, tr("Open a data file"), m_lastPath,
                                                         tr("Data Files (*.txt *.csv *.dat);;All Files (*)"));
    if (path.isEmpty()) {
        statusBar()->showMessage(tr("Load canceled"), 4000);
        return;
    }
    openPath(path, -1, nullptr);
}

void RegexBuilder::fileOpen(int index) { fileOpen(index, nullptr); }

void RegexBuilder::fileOpen(int index, RxbView* page)
{
    if (index < 0 || index >= m_recentFiles.size())
        return;
    const QString path = m_recentFiles.at(index); // a copy: the list changes while the file opens
    openPath(path, index, page);
}

bool RegexBuilder::openPath(const QString& path, int recentIndex, RxbView* page)
{
    kro::import::PreviewReader reader;
    if (!reader.open(path)) {
        if (recentIndex >= 0) {
            removeMissingRecent(recentIndex);
        } else if (reader.problem() == kro::import::TextProblem::Missing) {
            kro::prompter().warning(this, tr("File I/O Error"), tr("File \"%1\" does not exist.").arg(path),
                                    QMessageBox::Ok);
        } else {
            kro::prompter().warning(this, tr("File I/O Error"),
                                    tr("The selected file could not be opened.\n%1").arg(reader.reason()),
                                    QMessageBox::Ok);
        }
        return false;
    }
    const QFileInfo info(path);
    m_lastPath = info.absolutePath();
    if (!page)
        page = newTestpad(uniqueLabel(info.fileName()));
    updateRecentMenu(path);
    m_fileLoaded = true;

    QStringList lines;
    std::string line;
    while (lines.size() < page->previewLines() && reader.next(line))
        lines << kro::import::textFromBytes(line);
    page->setFileName(path);
    page->setPlainText(lines.join(QLatin1Char('\n')));

    // Widen the window for the widest line, within bounds. Only the
    // longest lines need measuring.
    std::vector<int> order(std::size_t(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        order[std::size_t(i)] = i;
    const std::size_t measured = std::min<std::size_t>(order.size(), 200);
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(measured), order.end(),
                      [&](int a, int b) { return lines[a].size() > lines[b].size(); });
    const QFontMetrics metrics(page->textView()->font());
    int widest = 0;
    for (std::size_t i = 0; i < measured; ++i)
        widest = std::max(widest, metrics.horizontalAdvance(lines[order[i]]));
    if (widest > width() + 40 && widest <= 650)
        resize(widest + 40, height());
    return true;
}

void RegexBuilder::updateRecentMenu(const QString& given)
{
    const QString path = given; // the name may be an entry of the list itself
    if (!path.isEmpty()) {
        m_recentFiles.removeAll(path);
        m_recentFiles.prepend(path);
    }
    while (m_recentFiles.size() > kMaxRecentFiles)
        m_recentFiles.removeLast();
    // An entry may be the one being triggered: it goes once that is over.
    for (QAction* old : m_recentActions) {
        m_fileMenu->removeAction(old);
        old->deleteLater();
    }
    m_recentActions.clear();
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        auto* action = new QAction(tr("&%1 %2").arg(i + 1).arg(QFileInfo(m_recentFiles.at(i)).fileName()), m_fileMenu);
        connect(action, &QAction::triggered, this, [this, i] { fileOpen(i); });
        m_fileMenu->insertAction(m_exitSeparator, action);
        m_recentActions << action;
    }
    m_recentSeparator->setVisible(!m_recentFiles.isEmpty());
}

void RegexBuilder::removeMissingRecent(int index)
{
    if (index < 0 || index >= m_recentFiles.size())
        return;
    const QString path = m_recentFiles.at(index);
    const auto answer = kro::prompter().question(
        this, tr("File not found"),
        tr("The file \"%1\" appears to be no longer available\nWould you like to remove it from the list?").arg(path),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    m_recentFiles.removeAt(index);
    updateRecentMenu();
}

void RegexBuilder::setpreviewlines()
{
    RxbView* page = currentView();
    if (!page)
        return;
    const auto lines = kro::prompter().getInt(this, tr("Number of Preview Lines"), tr("Enter number of preview lines: "),
                                              page->previewLines(), 1, 1000000, 1);
    if (!lines)
        return;
    page->setPreviewLines(*lines);
    // The page shows its own file again with the new count.
    if (!m_fileLoaded || page->fileName().isEmpty())
        return;
    const bool showedMatches = !page->isPlain();
    const int index = m_recentFiles.indexOf(page->fileName());
    if (!openPath(page->fileName(), index, page))
        return;
    if (showedMatches)
        page->findMatches();
}

void RegexBuilder::clearsearchhist()
{
    m_searchHistory.clear();
    if (RxbView* page = currentView(); page && page->patternBox()) {
        const QSignalBlocker block(page->patternBox());
        page->patternBox()->clear();
        page->patternBox()->clearEditText();
        page->checkValidity(QString());
    }
}

void RegexBuilder::quit() { close(); }
