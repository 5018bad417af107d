#include "analysis/adevprompt.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>

#include <cmath>

#include "core/exceptions.h"
#include "platform/prompter.h"
#include "platform/buttonrow.h"

namespace {
const int kTypeBits[] = {NORMAL, OVERLAPPING, MODIFIED, TIME, HADAMARD, MTIE};
const int kIntervals[] = {OCTAVE, DECADE, MANY_TAU, ALL_TAU};

// The support request that follows an internal error text.
QString supportRequest()
{
    return QCoreApplication::translate("ADevPrompt", "Please report this error to %1.")
        .arg(QString::fromLatin1(kro::kSupportAddress));
}
} // namespace

// ---------------------------------------------------------------------------

TristateCheckbox::TristateCheckbox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    setTristate(true);
}

void TristateCheckbox::setState(int state)
{
    setCheckState(state == 2 ? Qt::Checked : state == 1 ? Qt::PartiallyChecked : Qt::Unchecked);
}

int TristateCheckbox::state() const { return int(checkState()); }

TristateRadiobutton::TristateRadiobutton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

void TristateRadiobutton::setState(int state)
{
    m_mixed = state == 1;
    const bool on = state == 2;
    if (isChecked() != on) {
        // An exclusive group never lets its checked button go by itself.
        QButtonGroup* g = group();
        const bool exclusive = g && g->exclusive();
        if (exclusive && !on)
            g->setExclusive(false);
        setChecked(on);
        if (exclusive && !on)
            g->setExclusive(true);
    }
    update();
}

int TristateRadiobutton::state() const { return isChecked() ? 2 : m_mixed ? 1 : 0; }

void TristateRadiobutton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    if (m_mixed && !isChecked()) {
        opt.state &= ~(QStyle::State_On | QStyle::State_Off);
        opt.state |= QStyle::State_NoChange;
    }
    p.drawControl(QStyle::CE_RadioButton, opt);
}

void ADevTabBar::setTabColor(const QColor& colour, int index)
{
    m_tabColors[index] = colour;
    setTabTextColor(index, colour);
    update();
}

// ---------------------------------------------------------------------------

ADevPromptPage::ADevPromptPage(int id, QWidget* parent) : QWidget(parent), m_curveId(id)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);

    auto* statistic = new QGroupBox(tr("Statistic"), this);
    auto* grid = new QGridLayout(statistic);
    m_typeGroup = new QButtonGroup(this);
    m_typeGroup->setExclusive(false);
    const char* typeWords[] = {"Normal", "Overlapping", "Modified", "Time", "Hadamard", "MTIE"};
    for (int i = 0; i < 6; ++i) {
        auto* box = new TristateCheckbox(tr(typeWords[i]), statistic);
        grid->addWidget(box, i / 2, i % 2);
        m_typeGroup->addButton(box, kTypeBits[i]);
        m_typeBoxes[kTypeBits[i]] = box;
    }
    layout->addWidget(statistic);

    auto* intervalBox = new QGroupBox(tr("AF Interval"), this);
    auto* row = new QHBoxLayout(intervalBox);
    m_intervalGroup = new QButtonGroup(this);
    m_intervalGroup->setExclusive(true);
    const char* intervalWords[] = {"Octave", "Decade", "Many Tau", "All Tau"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new TristateRadiobutton(tr(intervalWords[i]), intervalBox);
        row->addWidget(button);
        m_intervalGroup->addButton(button, kIntervals[i]);
        m_intervalButtons[kIntervals[i]] = button;
    }
    layout->addWidget(intervalBox);

    auto* tauRow = new QHBoxLayout;
    m_tauEdit = new QLineEdit(this);
    m_tauEdit->setAlignment(Qt::AlignRight);
    auto* validator = new QDoubleValidator(ADevPrompt::kMinTau, ADevPrompt::kMaxTau, 10, m_tauEdit);
    validator->setLocale(QLocale::c());
    m_tauEdit->setValidator(validator);
    tauRow->addWidget(m_tauEdit);
    tauRow->addWidget(new QLabel(tr("Tau"), this));
    tauRow->addStretch();
    layout->addLayout(tauRow);

    layout->addStretch();
    layout->addSpacing(20);
    layout->addLayout(kro::platform::okCancelRow(this));
}

int ADevPromptPage::types() const
{
    int t = 0;
    for (const auto& [bit, box] : m_typeBoxes)
        if (box->state() != 0)
            t |= bit;
    return t;
}

int ADevPromptPage::interval() const
{
    for (int v : kIntervals)
        if (m_intervalButtons.at(v)->state() != 0)
            return v;
    return NO_INTERVAL;
}

double ADevPromptPage::tau() const
{
    bool ok = false;
    const double v = QLocale::c().toDouble(m_tauEdit->text().trimmed(), &ok);
    return ok ? v : 0.0;
}

// ---------------------------------------------------------------------------

void ADevDefaultPage::setDefaultTypeStates()
{
    if (m_pages.empty())
        return;
    for (int bit : kTypeBits) {
        const int first = m_pages.front()->m_typeBoxes.at(bit)->state();
        bool same = true;
        for (ADevPromptPage* p : m_pages)
            same = same && p->m_typeBoxes.at(bit)->state() == first;
        m_typeBoxes.at(bit)->setState(same ? first : 1);
    }
}

void ADevDefaultPage::setDefaultIntervalStates()
{
    if (m_pages.empty())
        return;
    int seen = 0;
    for (ADevPromptPage* p : m_pages)
        seen |= p->interval();
    const bool differ = (seen & (seen - 1)) != 0;
    if (differ) {
        m_intervalGroup->setExclusive(false);
        for (int v : kIntervals)
            m_intervalButtons.at(v)->setState(0);
        return;
    }
    m_intervalGroup->setExclusive(true);
    for (int v : kIntervals) {
        bool onEverywhere = true;
        for (ADevPromptPage* p : m_pages)
            onEverywhere = onEverywhere && p->m_intervalButtons.at(v)->state() == 2;
        m_intervalButtons.at(v)->setState(onEverywhere ? 2 : 0);
    }
}

void ADevDefaultPage::setDefaultTau(const QString& text)
{
    if (m_pages.empty())
        return;
    const QString first = m_pages.front()->m_tauEdit->text();
    bool same = true;
    for (ADevPromptPage* p : m_pages)
        same = same && p->m_tauEdit->text() == first;
    const QSignalBlocker quiet(m_tauEdit);
    m_tauEdit->setText(same ? text : QString(""));
}

void ADevDefaultPage::setDependantTypeStates()
{
    for (ADevPromptPage* p : m_pages)
        for (int bit : kTypeBits)
            p->m_typeBoxes.at(bit)->setState(m_typeBoxes.at(bit)->state());
}

void ADevDefaultPage::setDependantIntervalStates()
{
    for (ADevPromptPage* p : m_pages)
        for (int v : kIntervals)
            p->m_intervalButtons.at(v)->setState(m_intervalButtons.at(v)->state());
    // The curve pages now agree: this page shows their one interval again.
    setDefaultIntervalStates();
}

void ADevDefaultPage::setDependantTau()
{
    for (ADevPromptPage* p : m_pages) {
        const QSignalBlocker quiet(p->m_tauEdit);
        p->m_tauEdit->setText(m_tauEdit->text());
    }
}

// ---------------------------------------------------------------------------

ADevPrompt::ADevPrompt(const IdArray* ids, std::vector<QColor> colours, QWidget* parent) : QDialog(parent)
{
    setModal(true);
    setWindowTitle(tr("Allan Deviations"));
    if (!ids)
        throw kroexception(QString("Error creating ADEV dialog! %1").arg(supportRequest()));

    m_tabBar = new ADevTabBar(this);
    m_tabs = new ADevTabWidget(this);
    m_tabs->setAdevTabBar(m_tabBar);

    const std::vector<int> list = ids->ids();
    const int count = int(list.size());
    ADevDefaultPage* all = nullptr;
    if (count != 1) {
        all = new ADevDefaultPage(m_tabs);
        connect(all->m_typeGroup, &QButtonGroup::idClicked, all, &ADevDefaultPage::setDependantTypeStates);
        connect(all->m_intervalGroup, &QButtonGroup::idClicked, all, &ADevDefaultPage::setDependantIntervalStates);
        connect(all->m_tauEdit, &QLineEdit::textChanged, all, &ADevDefaultPage::setDependantTau);
        m_tabs->addTab(all, tr("All"));
        connect(all, &ADevPromptPage::accept, this, &ADevPrompt::accept);
        connect(all, &ADevPromptPage::reject, this, &ADevPrompt::reject);
        m_tabBar->setTabColor(Qt::black, 0);
        m_hasAllPage = true;
    }
    for (int i = 1; i <= count; ++i) {
        const int id = list[std::size_t(i - 1)];
        auto* page = new ADevPromptPage(id, m_tabs);
        if (all) {
            all->m_pages.push_back(page);
            connect(page->m_typeGroup, &QButtonGroup::idClicked, all, &ADevDefaultPage::setDefaultTypeStates);
            connect(page->m_intervalGroup, &QButtonGroup::idClicked, all, &ADevDefaultPage::setDefaultIntervalStates);
            connect(page->m_tauEdit, &QLineEdit::textChanged, all, &ADevDefaultPage::setDefaultTau);
        }
        m_tabs->addTab(page, tr("C%1").arg(id + 1));
        connect(page, &ADevPromptPage::accept, this, &ADevPrompt::accept);
        connect(page, &ADevPromptPage::reject, this, &ADevPrompt::reject);
        if (std::size_t(i - 1) < colours.size())
            m_tabBar->setTabColor(colours[std::size_t(i - 1)], all ? i : i - 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
}

ADevPromptPage* ADevPrompt::page(int id) const
{
    for (int t = 0; t < m_tabs->count(); ++t) {
        auto* p = static_cast<ADevPromptPage*>(m_tabs->widget(t));
        if (p->m_curveId == id)
            return p;
    }
    throw kroexception("ADevPrompt: no page for curve id %d.", id);
}

void ADevPrompt::refreshAllPage()
{
    if (!m_hasAllPage)
        return;
    auto* all = static_cast<ADevDefaultPage*>(m_tabs->widget(0));
    all->setDefaultTypeStates();
    all->setDefaultIntervalStates();
}

void ADevPrompt::setTau(double tau0, int id)
{
    try {
        page(id)->m_tauEdit->setText(QString::number(tau0, 'g', 6));
    } catch (const kroexception&) {
        m_errors += QStringLiteral("Bad ID passed to ADevPrompt::setTau(...)\n");
    }
}

void ADevPrompt::setTypes(int types, int id)
{
    try {
        ADevPromptPage* p = page(id);
        for (const auto& [bit, box] : p->m_typeBoxes)
            if (types & bit)
                box->setState(2);
        refreshAllPage();
    } catch (const kroexception&) {
        m_errors += QStringLiteral("Bad ID passed to ADevPrompt::setTypes(...)\n");
    }
}

void ADevPrompt::setAFInterval(int interval, int id)
{
    try {
        ADevPromptPage* p = page(id);
        auto it = p->m_intervalButtons.find(interval);
        if (it != p->m_intervalButtons.end())
            it->second->setState(2);
        refreshAllPage();
    } catch (const kroexception&) {
        m_errors += QStringLiteral("Bad ID passed to ADevPrompt::setAFInterval(...)\n");
    }
}

std::vector<AdevRequest> ADevPrompt::requests() const
{
    std::vector<AdevRequest> out;
    for (int t = m_hasAllPage ? 1 : 0; t < m_tabs->count(); ++t) {
        const auto* p = static_cast<const ADevPromptPage*>(m_tabs->widget(t));
        AdevRequest r;
        r.curve = p->m_curveId;
        r.job = 0;
        r.types = p->types();
        r.interval = p->interval();
        r.tau = p->tau();
        out.push_back(r);
    }
    return out;
}

void ADevPrompt::accept()
{
    for (const AdevRequest& r : requests()) {
        if (!r.types)
            continue;
        QString problem;
        if (r.interval == NO_INTERVAL)
            problem = tr("C%1: choose an AF interval.").arg(r.curve + 1);
        else if (!(r.tau >= kMinTau && r.tau <= kMaxTau))
            problem = tr("C%1: Tau must be a number from %2 to %3.").arg(r.curve + 1).arg(kMinTau).arg(kMaxTau, 0, 'f', 0);
        if (!problem.isEmpty()) {
            kro::prompter().warning(this, tr("Allan Deviations"), problem);
            return;
        }
    }
    QDialog::accept();
}
