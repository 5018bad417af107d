#include "tabs/sendcurvegui.h"

#include "core/exceptions.h"
#include "plot/curvelistbox.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>
#include <climits>
#include <utility>

namespace {

// A labelled column holding one list.
QVBoxLayout* column(QHBoxLayout* row, const QString& caption, QWidget* list)
{
    auto* box = new QVBoxLayout;
    box->addWidget(new QLabel(caption));
    box->addWidget(list);
    row->addLayout(box);
    return box;
}

} // namespace

SendCurveGUI::SendCurveGUI(QWidget* parent, std::map<int, Rgb> curves, std::map<QString, int> tabs)
    : QDialog(parent), m_curves(std::move(curves)), m_tabs(std::move(tabs))
{
    setWindowTitle(tr("KRO - Move/Copy Curve"));
    if (m_curves.size() >= 2 && !m_curves.count(-1))
        m_curves[-1] = Rgb(0);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    m_curveList = new CurveListBox(this, 1, -1);
    m_curveList->m_prefix = QStringLiteral("Curve");
    m_curveList->m_itemFlags = CurveListItem::ARROW | CurveListItem::COLORED_TEXT;
    m_curveList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_curveList->setCurves(m_curves);
    column(row, tr("Choose curve(s)"), m_curveList);

    m_tabList = new CurveListBox(this, 1, 1);
    m_tabList->m_itemFlags = CurveListItem::ARROW;
    std::vector<QString> labels;
    for (const auto& [label, plots] : m_tabs)
        labels.push_back(label);
    m_tabList->setTexts(labels);
    connect(m_tabList, &QListWidget::itemClicked, this, &SendCurveGUI::destClicked);
    column(row, tr("Destination tab"), m_tabList);

    m_frameList = new CurveListBox(this, 1, 1);
    m_frameList->m_itemFlags = CurveListItem::ARROW;
    populateQuadrant(m_tabs.empty() ? 0u : unsigned(m_tabs.begin()->second));
    column(row, tr("Destination frame"), m_frameList);

    auto* right = new QVBoxLayout;
    auto* group = new QGroupBox(tr("Operation"));
    auto* groupLayout = new QVBoxLayout(group);
    m_operation = new QButtonGroup(this);
    auto* copy = new QRadioButton(tr("Copy"));
    auto* move = new QRadioButton(tr("Move"));
    copy->setChecked(true);
    m_operation->addButton(copy, 0);
    m_operation->addButton(move, 1);
    groupLayout->addWidget(copy);
    groupLayout->addWidget(move);
    right->addWidget(group);
    right->addSpacing(5);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr("Ok"));
    auto* cancel = new QPushButton(tr("Cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons);
    right->addStretch();
    row->addLayout(right);
}

void SendCurveGUI::populateQuadrant(unsigned plotCount)
{
    static const std::array<std::vector<const char*>, 5> frames{{
        {"Center (New)"},
        {"Center", "Bottom (New)"},
        {"Top", "Top Right (New)", "Bottom"},
        {"Top Left", "Top Right", "Bottom", "Bottom Right (New)"},
        {"Top Left", "Top Right", "Bottom Left", "Bottom Right"},
    }};
    if (plotCount >= frames.size())
        throw kroexception(std::string("Error in SendCurveGUI::populateQuadrant(...): Invalid value (") +
                           std::to_string(plotCount) + ").\nPlease report this incident to: " + kro::kSupportAddress);
    std::vector<QString> texts;
    for (const char* f : frames[plotCount])
        texts.push_back(tr(f));
    m_frameList->setTexts(texts);
}

int SendCurveGUI::quadrantNumber() const
{
    static const std::array<std::pair<const char*, int>, 7> words{{
        {"Center", 1},
        {"Bottom Left", 2},
        {"Bottom Right", 4},
        {"Bottom", 2},
        {"Top Left", 1},
        {"Top Right", 3},
        {"Top", 1},
    }};
    for (int i = 0; i < m_frameList->count(); ++i) {
        const QListWidgetItem* item = m_frameList->item(i);
        if (!item->isSelected())
            continue;
        for (const auto& [word, quadrant] : words)
            if (item->text().startsWith(tr(word)))
                return quadrant;
    }
    return -1;
}

std::vector<int> SendCurveGUI::selectedCurves() const
{
    std::vector<int> numbers;
    const QString all = tr("All Curves");
    for (int i = 0; i < m_curveList->count(); ++i) {
        const CurveListItem* item = m_curveList->curveItem(i);
        if (!item || !item->isSelected())
            continue;
        if (item->text() == all)
            return {INT_MAX};
        numbers.push_back(item->m_id);
    }
    return numbers;
}

QString SendCurveGUI::destinationTab() const
{
    for (int i = 0; i < m_tabList->count(); ++i)
        if (m_tabList->item(i)->isSelected())
            return m_tabList->item(i)->text();
    return QString();
}

bool SendCurveGUI::moveChosen() const { return m_operation->checkedId() != 0; }

void SendCurveGUI::destClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    const auto it = m_tabs.find(item->text());
    populateQuadrant(it == m_tabs.end() ? 0u : unsigned(it->second));
}
