#include "tabs/savegui.h"

#include <QScrollBar>

#include "core/mjd.h"
#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "platform/labeledwidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// The folder of default output names for the rest of the run; null until
// the first name is made.
QString& rememberedFolder()
{
    static QString folder;
    return folder;
}

// A stack of the two pictures of a layout: without and with header.
QStackedWidget* pictureStack(const char* plain, const char* withHeader)
{
    auto* stack = new QStackedWidget;
    for (const char* name : {plain, withHeader}) {
        auto* picture = new QLabel;
        picture->setPixmap(embeddedPixmap(QString::fromLatin1(name)));
        picture->setFixedSize(picture->sizeHint());
        stack->addWidget(picture);
    }
    stack->setCurrentIndex(0);
    return stack;
}

LabeledFileEntry* fileEntry(const QString& caption)
{
    auto* entry = new LabeledFileEntry(caption, 1);
    entry->caption()->setFixedWidth(75);
    entry->setFixedWidth(500);
    return entry;
}

} // namespace

// ---------------------------------------------------------------------------
// ScrollList

ScrollList::ScrollList(QWidget* parent) : QScrollArea(parent), m_frame(new QWidget), m_layout(new QVBoxLayout)
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(5);
    m_layout->addStretch();
    m_frame->setLayout(m_layout);
    setWidget(m_frame);
    setWidgetResizable(true);
    if (parent)
        viewport()->setPalette(parent->palette());
}

ScrollList::~ScrollList() = default;

void ScrollList::addRow(int key, QWidget* row)
{
    const auto it = m_rows.find(key);
    if (it != m_rows.end() && it->second != row)
        delete it->second;
    m_rows[key] = row;
    // The rows stay in key order above the closing stretch.
    int position = 0;
    for (const auto& [k, w] : m_rows) {
        if (k == key)
            break;
        ++position;
    }
    m_layout->insertWidget(position, row);
    row->show();
    // The list is at least as wide as its widest row ("Select All" whole)
    // and the vertical scroll bar beside it.
    setMinimumWidth(m_frame->sizeHint().width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
}

void ScrollList::clearRows()
{
    for (auto& [key, row] : m_rows)
        delete row;
    m_rows.clear();
}

// ---------------------------------------------------------------------------
// CurveSelectorList

CurveSelectorList::CurveSelectorList(QWidget* parent) : ScrollList(parent) {}

QCheckBox* CurveSelectorList::curveBox(int number) const
{
    if (number == 0)
        return nullptr;
    const auto it = m_rows.find(number);
    return it == m_rows.end() ? nullptr : static_cast<QCheckBox*>(it->second);
}

QCheckBox* CurveSelectorList::selectAllBox() const
{
    const auto it = m_rows.find(0);
    return m_hasSelectAll && it != m_rows.end() ? static_cast<QCheckBox*>(it->second) : nullptr;
}

void CurveSelectorList::setCurves(const std::map<int, Rgb>& curves)
{
    clearRows();
    m_hasSelectAll = curves.size() >= 2;
    if (m_hasSelectAll) {
        auto* all = new QCheckBox(tr("Select All"));
        all->setTristate(true);
        all->setCheckState(Qt::Checked);
        connect(all, &QCheckBox::clicked, this, &CurveSelectorList::on_selectAll);
        addRow(0, all);
    }
    if (curves.empty())
        Q_EMIT selectionMade(false);
    for (const auto& [number, colour] : curves) {
        auto* box = new QCheckBox(tr("C%1").arg(number));
        box->setChecked(true);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, QColor(QRgb(colour.value & 0xFFFFFFu)));
        box->setPalette(palette);
        connect(box, &QCheckBox::clicked, this, &CurveSelectorList::on_curveSelected);
        addRow(number, box);
    }
}

std::vector<int> CurveSelectorList::selectedCurves() const
{
    std::vector<int> numbers;
    for (const auto& [number, row] : m_rows)
        if (number != 0 && static_cast<QCheckBox*>(row)->isChecked())
            numbers.push_back(number);
    return numbers;
}

void CurveSelectorList::on_curveSelected()
{
    int checked = 0;
    int boxes = 0;
    for (const auto& [number, row] : m_rows) {
        if (number == 0)
            continue;
        ++boxes;
        checked += static_cast<QCheckBox*>(row)->isChecked();
    }
    Q_EMIT selectionMade(checked > 0);
    if (QCheckBox* all = selectAllBox())
        all->setCheckState(checked > 0 && checked < boxes ? Qt::PartiallyChecked
                                                           : checked > 0 ? Qt::Checked : Qt::Unchecked);
}

void CurveSelectorList::on_selectAll()
{
    QCheckBox* all = selectAllBox();
    if (!all)
        return;
    // A click steps off -> partial -> on -> off; partial and on check every
    // curve.
    const bool on = all->checkState() != Qt::Unchecked;
    for (const auto& [number, row] : m_rows)
        static_cast<QCheckBox*>(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    Q_EMIT selectionMade(on);
}

// ---------------------------------------------------------------------------
// SaveFileList

SaveFileList::SaveFileList(QWidget* parent) : ScrollList(parent) {}

LabeledFileEntry* SaveFileList::entry(int number) const
{
    const auto it = m_rows.find(number);
    return it == m_rows.end() ? nullptr : static_cast<LabeledFileEntry*>(it->second);
}

void SaveFileList::setCurves(const std::vector<int>& numbers)
{
    clearRows();
    for (const int n : numbers) {
        LabeledFileEntry* row = fileEntry(tr("Save File (C%1):").arg(n));
        row->setText(defaultFileName(QStringLiteral("c%1").arg(n)), true);
        addRow(n, row);
    }
}

std::map<int, QString> SaveFileList::fileNames() const
{
    std::map<int, QString> names;
    for (const auto& [number, row] : m_rows)
        names[number] = static_cast<LabeledFileEntry*>(row)->value().text;
    return names;
}

QString SaveFileList::defaultFileName(const QString& name)
{
    QString& folder = rememberedFolder();
    if (folder.isNull()) {
        folder = getOpath();
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::homePath();
    }
    QString file = QStringLiteral("krodata_");
    if (!name.isNull())
        file += QStringLiteral("%1_").arg(name);
    file += QStringLiteral("%1.dat").arg(currentMjdHighRes(), 11, 'f', 5);
    const QString path = QDir::cleanPath(QDir(folder).filePath(file));
    folder = QFileInfo(path).path();
    return path;
}

void SaveFileList::forgetFolder() { rememberedFolder() = QString(); }

// ---------------------------------------------------------------------------
// SaveGUI

SaveGUI::SaveGUI(QWidget* parent) : QScrollArea(parent)
{
    auto* frame = new QWidget;
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(20);

    // Single or unique output files.
    auto* outputRow = new QHBoxLayout;
    m_single = new QRadioButton(tr("Combine to a single output file"));
    m_unique = new QRadioButton(tr("Use unique output files"));
    m_output = new QButtonGroup(this);
    m_output->addButton(m_single, 0);
    m_output->addButton(m_unique, 1);
    m_single->setChecked(true);
    outputRow->addWidget(m_single);
    outputRow->addWidget(m_unique);
    outputRow->addStretch();
    column->addLayout(outputRow);

    // Curves and files.
    auto* filesRow = new QHBoxLayout;
    m_selector = new CurveSelectorList(this);
    m_fileStack = new QStackedWidget;
    m_singleFile = fileEntry(tr("Save File:"));
    m_fileList = new SaveFileList(this);
    m_fileStack->addWidget(m_singleFile);
    m_fileStack->addWidget(m_fileList);
    m_fileStack->setCurrentIndex(0);
    filesRow->addWidget(m_selector);
    filesRow->addWidget(m_fileStack, 1);
    column->addLayout(filesRow);

    // The two layouts with their pictures, and the header.
    auto* styleRow = new QHBoxLayout;
    auto* first = new QVBoxLayout;
    m_style1Pictures = pictureStack("save_style_1.png", "save_style_1_wheader.png");
    m_style1Pictures->setFixedWidth(250);
    m_style1 = new QRadioButton(tr("Use Style 1"));
    first->addWidget(m_style1Pictures);
    first->addWidget(m_style1);
    auto* second = new QVBoxLayout;
    m_style2Pictures = pictureStack("save_style_2.png", "save_style_2_wheader.png");
    m_style2 = new QRadioButton(tr("Use Style 2"));
    second->addWidget(m_style2Pictures);
    second->addWidget(m_style2);
    // The two choices switch as a pair: a click on either toggles the other.
    for (QRadioButton* b : {m_style1, m_style2})
        b->setAutoExclusive(false);
    m_style1->setChecked(true);
    connect(m_style1, &QRadioButton::clicked, m_style2, [this] { m_style2->setChecked(!m_style2->isChecked()); });
    connect(m_style2, &QRadioButton::clicked, m_style1, [this] { m_style1->setChecked(!m_style1->isChecked()); });
    auto* third = new QVBoxLayout;
    m_writeHeader = new QCheckBox(tr("Write header info"));
    m_header = new QPlainTextEdit;
    m_header->setMinimumWidth(300);
    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(tr("Save"));
    m_close = new QPushButton(tr("Close"));
    for (QPushButton* b : {m_save, m_close}) {
        b->setFixedSize(50, 20);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    third->addWidget(m_writeHeader);
    third->addWidget(m_header);
    third->addLayout(buttons);
    styleRow->addLayout(first);
    styleRow->addLayout(second);
    styleRow->addLayout(third, 1);
    column->addLayout(styleRow);
    column->addStretch();

    setWidget(frame);
    setWidgetResizable(true);

    connect(m_unique, &QRadioButton::clicked, this, &SaveGUI::raiseMultipleFileOutput);
    connect(m_single, &QRadioButton::clicked, this, &SaveGUI::raiseSingleFileOutput);
    connect(m_writeHeader, &QCheckBox::toggled, this, &SaveGUI::on_headerToggled);
    connect(m_header, &QPlainTextEdit::textChanged, this, &SaveGUI::on_headerChanged);
    connect(m_close, &QPushButton::clicked, this, &SaveGUI::on_closeClicked);
    connect(m_save, &QPushButton::clicked, this, &SaveGUI::on_saveClicked);
    connect(m_selector, &CurveSelectorList::selectionMade, m_save, &QPushButton::setEnabled);
}

void SaveGUI::setCurves(const std::map<int, Rgb>& curves)
{
    m_selector->setCurves(curves);
    std::vector<int> numbers;
    for (const auto& [number, colour] : curves)
        numbers.push_back(number);
    m_fileList->setCurves(numbers);
    m_singleFile->setText(SaveFileList::defaultFileName(QString()), true);
    const bool several = curves.size() >= 2;
    if (!several) {
        m_single->setChecked(true);
        raiseSingleFileOutput();
    }
    for (QRadioButton* b : {m_unique, m_style1, m_style2})
        b->setEnabled(several);
    m_save->setEnabled(!m_selector->selectedCurves().empty());
}

std::map<int, QString> SaveGUI::fileNames() const
{
    std::map<int, QString> names;
    const std::vector<int> checked = m_selector->selectedCurves();
    const std::map<int, QString> own = m_fileList->fileNames();
    const bool unique = m_output->checkedId() == 1;
    for (const int number : checked) {
        if (!unique) {
            names[number] = m_singleFile->value().text;
        } else if (const auto it = own.find(number); it != own.end()) {
            names[number] = it->second;
        }
    }
    return names;
}

int SaveGUI::styleFlags() const { return (m_style1->isChecked() ? 2 : 4) + (m_writeHeader->isChecked() ? 1 : 0); }

QString SaveGUI::headerText() const { return m_writeHeader->isChecked() ? m_header->toPlainText() : QString(); }

void SaveGUI::raiseMultipleFileOutput() { m_fileStack->setCurrentIndex(1); }

void SaveGUI::raiseSingleFileOutput() { m_fileStack->setCurrentIndex(0); }

void SaveGUI::on_headerToggled(bool on)
{
    m_style1Pictures->setCurrentIndex(on ? 1 : 0);
    m_style2Pictures->setCurrentIndex(on ? 1 : 0);
}

void SaveGUI::on_closeClicked() { Q_EMIT closeClicked(false); }

void SaveGUI::on_headerChanged() { m_writeHeader->setChecked(!m_header->toPlainText().isEmpty()); }

void SaveGUI::on_saveClicked() { Q_EMIT closeClicked(true); }
