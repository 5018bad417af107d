#include "import/combotable.h"
#include "core/markupbounds.h"

#include "core/exceptions.h"
#include "core/stringutils.h"
#include "import/previewreader.h"
#include "import/textcodec.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr int kNoDataHeight = 23;

const char* const kTooFewLines = "Error. Skip parameter too large. Not enough points to continue.\n";

QTableWidgetItem* textItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QStringList ComboTable::roleList(int n)
{
    if (n == 1)
        return {tr("y%1").arg(1)};
    QStringList roles{QStringLiteral("-"), QStringLiteral("x")};
    for (int i = 1; i <= n; ++i)
        roles << tr("y%1").arg(i);
    roles << QStringLiteral("k") << QStringLiteral("date") << QStringLiteral("time") << QStringLiteral("datetime");
    return roles;
}

ComboTable::ComboTable(QWidget* parent)
    : QWidget(parent), m_roleRow(new QTableWidget(1, 0, this)), m_preview(new QTableWidget(kPreviewRows, 0, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_roleRow);
    layout->addWidget(m_preview, 1);

    m_roleRow->setFixedHeight(roleRowHeight());
    m_roleRow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_roleRow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_roleRow->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_roleRow->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_roleRow->setVerticalHeaderLabels({QString()});
    m_roleRow->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    m_preview->horizontalHeader()->hide();
    m_preview->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setContentsMargins(0, 0, 0, 0);
    connect(m_preview->horizontalScrollBar(), &QScrollBar::valueChanged, m_roleRow->horizontalScrollBar(),
            &QScrollBar::setValue);
    syncHeaderWidths();
}

int ComboTable::roleRowHeight() const
{
    // The column numbers above and one whole role box under them (and the
    // grid line below its cell).
    QComboBox probe;
    probe.addItems(roleList(2));
    return m_roleRow->horizontalHeader()->sizeHint().height() + probe.sizeHint().height() +
           (m_roleRow->showGrid() ? 1 : 0) + 2 * m_roleRow->frameWidth();
}

int ComboTable::columnCount() const { return m_preview->columnCount(); }

QComboBox* ComboTable::roleBox(int column) const
{
    if (column < 0 || column >= m_roleRow->columnCount())
        return nullptr;
    return qobject_cast<QComboBox*>(m_roleRow->cellWidget(0, column));
}

void ComboTable::ensureColumns(int n)
{
    n = std::min(n, kMaxColumns);
    if (m_preview->columnCount() < n)
        m_preview->setColumnCount(n);
}

void ComboTable::clearRow(int row)
{
    for (int c = 0; c < m_preview->columnCount(); ++c) {
        m_preview->removeCellWidget(row, c);
        delete m_preview->takeItem(row, c);
    }
}

void ComboTable::syncHeaderWidths()
{
    const int w = std::max(m_preview->verticalHeader()->sizeHint().width(), 20);
    m_preview->verticalHeader()->setFixedWidth(w);
    m_roleRow->verticalHeader()->setFixedWidth(w);
}

void ComboTable::readFile(const QString& fileName, int header, int skip)
{
    kro::import::PreviewReader reader;
    if (!reader.open(fileName)) {
        m_failed = true;
        m_problem = reader.reason();
        Q_EMIT fileReadError(fileName);
        return;
    }
    m_failed = false;
    m_problem.clear();
    std::string line;
    auto tooFewLines = [&] {
        std::fputs(kTooFewLines, stderr);
        m_problem = tr("The file has fewer lines than the header and skip settings pass over.");
    };
    for (int i = 1; i < header; ++i) {
        if (!reader.next(line)) {
            tooFewLines();
            return;
        }
    }
    bool cut = false;
    int row = 0;
    if (header != 0) {
        if (!reader.next(line)) {
            tooFewLines();
            return;
        }
        clearRow(0);
        const std::vector<std::string> names = SCUtilities::splitQuotedRegex(line, "[,;]");
        for (std::size_t k = 0; k < names.size(); ++k) {
            if (int(k) >= kMaxColumns) {
                cut = true;
                break;
            }
            ensureColumns(int(k) + 1);
            auto* label = new QLabel(kro::boundedRichText(kro::import::textFromBytes(names[k])));
            label->setAlignment(Qt::AlignCenter);
            label->setStyleSheet(QStringLiteral("color: grey"));
            m_preview->setCellWidget(0, int(k), label);
        }
        row = 1;
    }
    for (int i = 0; i < skip; ++i) {
        if (!reader.next(line)) {
            tooFewLines();
            return;
        }
    }
    const int firstDataRow = row;
    for (; row < m_preview->rowCount(); ++row) {
        if (!reader.next(line))
            break;
        clearRow(row);
        const std::vector<std::string> fields = kro::import::splitPreviewFields(line);
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (int(k) >= kMaxColumns) {
                cut = true;
                break;
            }
            if (fields[k].empty())
                continue;
            ensureColumns(int(k) + 1);
            m_preview->setItem(row, int(k), textItem(kro::import::textFromBytes(fields[k])));
        }
    }
    for (int r = row; r < m_preview->rowCount(); ++r)
        clearRow(r);

    QStringList labels;
    for (int r = 0; r < m_preview->rowCount(); ++r) {
        if (header != 0 && r == 0)
            labels << QString::number(header);
        else
            labels << QString::number(qint64(header) + skip + (r - firstDataRow) + 1);
    }
    m_preview->setVerticalHeaderLabels(labels);
    syncHeaderWidths();

    rebuildRoleRow();
    fitColumns(fontMetrics().horizontalAdvance(QStringLiteral("datetime")) + 10);
    if (columnCount() == 0) {
        showNoData();
        m_problem = reader.isEmpty() ? tr("The file is empty.") : tr("No data was found in the lines shown.");
    } else if (cut) {
        m_problem = tr("Only the first %1 columns are shown.").arg(kMaxColumns);
    }
}

void ComboTable::showNoData()
{
    m_noData = true;
    m_roleRow->horizontalHeader()->hide();
    m_roleRow->setFixedHeight(kNoDataHeight);
    m_roleRow->setColumnCount(1);
    m_roleRow->setItem(0, 0, textItem(tr("NO DATA DETECTED")));
    m_roleRow->resizeColumnToContents(0);
}

QString ComboTable::headerSelection(int column) const
{
    if (column < 0)
        throw kroexception("Error: Invalid column number (%d) passed to ComboTable::headerSelection().\n%s", column,
                           kro::reportRequest().c_str());
    if (column >= columnCount())
        return QString();
    const QComboBox* box = roleBox(column);
    return box ? box->currentText() : QString();
}

void ComboTable::selectQuietly(QComboBox* box, int index)
{
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

void ComboTable::setColumnRole(int column, const QString& role, bool quiet)
{
    QComboBox* box = roleBox(column);
    if (!box)
        return;
    int index = box->findText(role, Qt::MatchExactly);
    if (index < 0) {
        const QSignalBlocker block(box);
        box->addItem(role);
        index = box->count() - 1;
    }
    selectQuietly(box, index);
    if (!quiet)
        on_headerSelection(0, column);
}

void ComboTable::removeRoleEntry(int column, const QString& text)
{
    QComboBox* box = roleBox(column);
    if (!box)
        return;
    const int index = box->findText(text, Qt::MatchExactly);
    if (index < 0)
        return;
    const bool selected = index == box->currentIndex();
    const QSignalBlocker block(box);
    box->removeItem(index);
    if (selected && box->count() > 0)
        box->setCurrentIndex(0);
}

void ComboTable::assignDefaultRoles()
{
    const int n = columnCount();
    if (n == 0 || !roleBox(0))
        return;
    if (n == 1) {
        selectQuietly(roleBox(0), 0);
        Q_EMIT columnSelected(0, headerSelection(0));
        return;
    }
    const QStringList roles = roleList(n);
    selectQuietly(roleBox(0), roles.indexOf(QStringLiteral("x")));
    selectQuietly(roleBox(1), roles.indexOf(tr("y%1").arg(1)));
    Q_EMIT columnSelected(0, headerSelection(0));
    Q_EMIT columnSelected(1, headerSelection(1));
}

void ComboTable::rebuildRoleRow()
{
    const int n = columnCount();
    QStringList previous;
    if (!m_noData)
        for (int c = 0; c < m_roleRow->columnCount(); ++c)
            previous << (roleBox(c) ? roleBox(c)->currentText() : QString());
    if (m_noData && n > 0) {
        m_noData = false;
        delete m_roleRow->takeItem(0, 0);
        m_roleRow->horizontalHeader()->show();
        m_roleRow->setFixedHeight(roleRowHeight());
    }
    if (m_noData)
        return;
    const QStringList roles = roleList(n);
    m_roleRow->setColumnCount(n);
    m_roleRow->setFixedHeight(roleRowHeight());
    for (int c = 0; c < n; ++c) {
        auto* box = new QComboBox;
        box->setEditable(false);
        box->addItems(roles);
        const QString keep = c < previous.size() ? previous[c] : QString();
        if (!keep.isEmpty()) {
            int index = roles.indexOf(keep);
            if (index < 0) {
                // A role the new list lacks (a "y<N>" beyond the columns,
                // or "Mixed") stays the column's role.
                box->addItem(keep);
                index = box->count() - 1;
            }
            box->setCurrentIndex(index);
        }
        m_roleRow->setCellWidget(0, c, box);
        connect(box, &QComboBox::currentIndexChanged, this, [this, c] { on_headerSelection(0, c); });
    }
}

void ComboTable::fitColumns(int minWidth)
{
    const int n = m_preview->columnCount();
    if (n < 1 || n != m_roleRow->columnCount())
        return;
    for (int c = 0; c < n; ++c) {
        m_preview->resizeColumnToContents(c);
        int w = m_preview->columnWidth(c);
        if (minWidth > 0 && w < minWidth)
            w = minWidth;
        m_preview->setColumnWidth(c, w);
        m_roleRow->setColumnWidth(c, w);
    }
}

void ComboTable::setColumnCount(int n)
{
    n = std::clamp(n, 0, kMaxColumns);
    m_preview->setColumnCount(n);
}

void ComboTable::setPreviewRowCount(int rows)
{
    m_preview->setRowCount(std::max(rows, 0));
    if (rows <= 0)
        m_preview->setMaximumHeight(m_preview->horizontalScrollBar()->sizeHint().height() + 4);
    syncHeaderWidths();
}

void ComboTable::on_headerSelection(int, int column)
{
    QComboBox* box = roleBox(column);
    if (!box)
        return;
    const QString role = box->currentText();
    if (role == mixedRole())
        return;
    if (role == QLatin1String("-")) {
        Q_EMIT columnRemoved(column);
        return;
    }
    int other = -1;
    for (int c = 0; c < m_roleRow->columnCount(); ++c)
        if (c != column && roleBox(c) && roleBox(c)->currentText() == role)
            other = c;
    if (other >= 0) {
        Q_EMIT columnRemoved(other);
        selectQuietly(roleBox(other), 0);
    }
    Q_EMIT columnSelected(column, role);
}
