#include "import/filesetup.h"

#include "import/combotable.h"
#include "import/commandcomposer.h"
#include "import/datetimeformattab.h"
#include "import/filetemplatepage.h"
#include "import/imagebutton.h"
#include "platform/embeddedimages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

FileSetup::FileSetup() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("filesetup"));
    setWindowTitle(tr("KRO File Setup"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter);

    m_list = new QListWidget(splitter);
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(2, 2, 2, 2);
    rightLayout->setSpacing(2);
    m_stack = new QStackedWidget(right);
    rightLayout->addWidget(m_stack, 1);

    auto* controls = new QVBoxLayout;
    m_appendBox = new QCheckBox(tr("Append"), right);
    m_ok = new QPushButton(tr("Ok"), right);
    m_cancel = new QPushButton(tr("Cancel"), right);
    m_ok->setFixedWidth(80);
    m_cancel->setFixedWidth(80);
    controls->addWidget(m_appendBox);
    controls->addWidget(m_ok);
    controls->addWidget(m_cancel);
    controls->addStretch(1);
    m_reload = new ImageButton(embeddedPixmap(QStringLiteral("reload.png")), tr("Reload"), 15, right);
    m_reload->setImageSize(50, 50);
    m_reload->setToolTip(tr("Press to reload the table (use when file has been modified outside of KRO)."));
    controls->addWidget(m_reload);
    rightLayout->addLayout(controls);

    splitter->addWidget(m_list);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setCollapsible(0, false);

    connect(m_list, &QListWidget::currentRowChanged, m_stack, &QStackedWidget::setCurrentIndex);
    connect(m_ok, &QPushButton::clicked, this, &FileSetup::on_ok);
    connect(m_cancel, &QPushButton::clicked, this, &FileSetup::on_cancel);
    connect(m_appendBox, &QCheckBox::toggled, this, &FileSetup::on_setAppend);
    connect(m_reload, &ImageButton::clicked, this, &FileSetup::on_reloadTable);
    connect(this, qOverload<FileSetup*, bool>(&FileSetup::closed), this, qOverload<>(&FileSetup::closed));
}

void FileSetup::setFiles(const QStringList& files)
{
    m_defaultPage = new FileTemplatePage(this);
    connect(m_defaultPage, &FileSettingsPage::transcript, this, &FileSetup::transcript);
    connect(m_defaultPage, &FileSettingsPage::inputsChecked, this, &FileSetup::updateOkButton);
    const bool several = files.size() >= 2;
    if (several) {
        m_list->addItem(tr("All Files"));
        m_stack->addWidget(m_defaultPage);
    } else {
        m_defaultPage->hide();
    }
    for (const QString& name : files) {
        const QString cleaned = kro::import::cleanDroppedName(name);
        m_list->addItem(cleaned);
        auto* page = new FileSettingsPage(cleaned, m_stack);
        connect(page, &FileSettingsPage::fileReadError, this, &FileSetup::on_fileReadError);
        connect(page, &FileSettingsPage::transcript, this, &FileSetup::transcript);
        connect(page, &FileSettingsPage::inputsChecked, this, &FileSetup::updateOkButton);
        m_stack->addWidget(page);
        m_pages.push_back(page);
        page->populateTable();
        page->table()->assignDefaultRoles();

        FileTemplatePage* d = m_defaultPage;
        d->addFilePage(page);
        connect(page, &FileSettingsPage::columnSelected, d, &FileTemplatePage::syncColumnSelections);
        connect(page, &FileSettingsPage::datetimeformatChanged, d, &FileTemplatePage::syncDatetimeFormat);
        connect(page, &FileSettingsPage::getValueChanged, d, &FileTemplatePage::syncGetValue);
        connect(page, &FileSettingsPage::headerValueChanged, d, &FileTemplatePage::syncHeaderValue);
        connect(page, &FileSettingsPage::skipValueChanged, d, &FileTemplatePage::syncSkipValue);
        connect(page, &FileSettingsPage::valueChangedAdd, d, &FileTemplatePage::syncAdd);
        connect(page, &FileSettingsPage::valueChangedDiv, d, &FileTemplatePage::syncDiv);
        connect(page, &FileSettingsPage::valueChangedMul, d, &FileTemplatePage::syncMul);
        connect(page, &FileSettingsPage::valueChangedSub, d, &FileTemplatePage::syncSub);
    }
    m_defaultPage->setColumnCount(commonColumnCount());
    m_list->setCurrentRow(several ? 1 : 0);
    updateOkButton();
}

int FileSetup::commonColumnCount() const
{
    int count = 0;
    for (const FileSettingsPage* page : m_pages) {
        const int n = page->table()->columnCount();
        if (n < count || count == 0)
            count = n;
    }
    return count;
}

QString FileSetup::buildCommand() const
{
    std::vector<kro::import::CommandSource> sources;
    for (const FileSettingsPage* page : m_pages)
        sources.push_back(page->commandSource());
    return kro::import::composePlotCommand(sources, m_append, kro::import::DefaultFormats::fromSettings());
}

void FileSetup::updateOkButton()
{
    QString reason;
    // With the Default Page listed first, file i is list entry i + 1.
    const int offset = m_defaultPage && m_stack->indexOf(m_defaultPage) == 0 ? 1 : 0;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const FileSettingsPage* page = m_pages[i];
        QString problem;
        if (const QString name = page->nameProblem(); !name.isEmpty())
            problem = tr("%1: %2").arg(page->fileName(), name);
        else if (page->hasNoData())
            problem = tr("%1: %2").arg(page->fileName(), page->readProblem());
        else if (const QString format = page->formatProblem(); !format.isEmpty())
            problem = tr("%1: %2").arg(page->fileName(), format);
        else if (!page->inputsValid())
            problem = tr("%1: a date or time format or a scaling number is not valid.").arg(page->fileName());
        if (QListWidgetItem* item = m_list->item(int(i) + offset))
            item->setForeground(problem.isEmpty() ? palette().color(QPalette::Text) : QColor(Qt::red));
        if (reason.isEmpty())
            reason = problem;
    }
    if (reason.isEmpty() && m_defaultPage && offset == 1) {
        for (const DateTimeFormatTab* tab : m_defaultPage->formatTabs())
            if (!tab->isValid())
                reason = tr("All Files: a date or time format is not valid.");
    }
    if (m_pages.empty())
        reason = tr("No data file was given.");
    m_ok->setEnabled(reason.isEmpty());
    m_ok->setToolTip(reason);
}

void FileSetup::show()
{
    QWidget::show();
    resize(920, 590);
}

void FileSetup::on_cancel() { Q_EMIT closed(this, false); }

void FileSetup::on_fileReadError(const QString& fileName)
{
    Q_EMIT transcript(tr("File Setup: Error reading file %1").arg(fileName));
}

void FileSetup::on_ok()
{
    if (!m_ok->isEnabled())
        return;
    Q_EMIT closed(this, true);
}

void FileSetup::on_reloadTable()
{
    auto* page = qobject_cast<FileSettingsPage*>(m_stack->currentWidget());
    if (page && page != m_defaultPage)
        page->populateTable();
    if (m_defaultPage)
        m_defaultPage->setColumnCount(commonColumnCount());
    updateOkButton();
}

void FileSetup::on_setAppend(bool on) { m_append = on; }

void FileSetup::closeEvent(QCloseEvent* event)
{
    // The receiver decides; the window never closes itself.
    event->ignore();
    Q_EMIT closed(this, false);
}
