// The toolbox pages, the dispatch of their clicks, and the default-settings
// page they open.
#include "gui/krogui.h"

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/toolboxcategories.h"
#include "plot/plotter.h"
#include "platform/tabwidgetex.h"

#include <QButtonGroup>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolBox>
#include <QVBoxLayout>

#include <cstring>

void KROGui::buildToolboxPages()
{
    m_categories = makeToolboxCategories();
    for (const auto& category : m_categories) {
        // A page scrolls, so a long one does not make the toolbox taller.
        auto* area = new QScrollArea(m_toolbox);
        area->setFrameShape(QFrame::NoFrame);
        area->setWidgetResizable(true);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setWidget(buildToolbox(category.get()));
        m_toolbox->addItem(area, category->icon(), category->title());
        connect(category.get(), &CategoryInterface::signal, this, &KROGui::emitfuntion);
    }
    // Runs the dispatch once with no slot (no button has been toggled yet).
    m_categories.front()->setCurrentCategory(0);
}

QWidget* KROGui::buildToolbox(CategoryInterface* category)
{
    auto* page = new QWidget(m_toolbox);
    page->setBackgroundRole(QPalette::Base);
    page->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(0);
    auto* group = new QButtonGroup(page);
    group->setExclusive(false);
    const int offset = category->idOffset();
    for (int i = 0; i < category->buttonCount(); ++i) {
        auto* b = new CategoryButton(page, category->exclusiveIndex(i));
        b->setBackgroundRole(QPalette::Base);
        b->setText(category->label(i));
        b->setToolTip(category->tooltip(i));
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        const auto [toggleGroup, toggleable] = category->toggleKind(i);
        b->setCheckable(toggleable);
        m_btnGroups.addButton(toggleGroup, b);
        group->addButton(b, i + offset);
        column->addWidget(b);
    }
    column->addStretch();
    connect(group, &QButtonGroup::idClicked, category, &CategoryInterface::setCurrentCategory);
    // "MJD -> Date/Time" shows once the current plot holds MJD values.
    if (CategoryButton* mjd = m_btnGroups.button(MJD_DATETIME, 5))
        mjd->hide();
    return page;
}

void KROGui::emitfuntion(const char* slotName)
{
    // Page toggles: while the last toggled toolbox button is "Save Data" or
    // "Default Settings", every click shows the page it stands for.
    CategoryButton* last = m_btnGroups.currentButton();
    if (last && m_btnGroups.groupOf(last) == PAGE_TOGGLE && m_centralStack) {
        if (!last->isChecked()) {
            m_centralStack->setCurrentIndex(0);
        } else if (last->exclusiveIndex() == 0) {
            showSaveDataPage();
        } else if (last->exclusiveIndex() == 1) {
            m_centralStack->setCurrentIndex(1);
            m_settingsPage->m_current = currentPlotOptions();
            loadPlotOptions(m_settingsPage->m_stored);
            m_settingsPage->showValue(KROSettingsParam::WORKSPACEPATH, m_settingsPage->m_stored);
            m_settingsPage->showValue(KROSettingsParam::QUICKSTART, m_settingsPage->m_stored);
        }
    }
    if (!slotName)
        return;
    if (std::strcmp(slotName, "1verbose()") == 0) {
        setVerboseFlag(!kro::isVerbose());
        if (!kro::isVerbose())
            m_consoleTabs->setCurrentIndex(0);
        return;
    }
    if (std::strcmp(slotName, "1screenShot()") == 0) {
        on_screenShot();
        return;
    }
    if (std::strcmp(slotName, "1printPlot()") == 0) {
        printPlot();
        return;
    }
    // Any other slot belongs to the active plot: "1name()" names "name".
    Plotter* plot = activePlotter();
    if (!plot)
        return;
    QByteArray method(slotName + 1);
    method.chop(2);
    try {
        QMetaObject::invokeMethod(plot, method.constData(), Qt::DirectConnection);
    } catch (const std::exception& e) {
        say(tr("Error: %1").arg(QString::fromUtf8(e.what())));
    }
}

void KROGui::on_optionSaved(KROSettingsParam param)
{
    switch (param) {
    case KROSettingsParam::BACKGROUNDIMAGE: on_backgroundimage(getBackgroundImage()); break;
    case KROSettingsParam::BACKGROUNDIMAGESTYLE: on_backgroundimagestyle(getBackgroundImageStyle()); break;
    case KROSettingsParam::HISTORY: {
        const int limit = readSettingInt(QStringLiteral("history"), 30) + 1;
        m_console->setHistoryLimit(limit);
        m_debugConsole->setHistoryLimit(limit);
        break;
    }
    case KROSettingsParam::TICKFONTSIZE: on_tickfontsize(readSettingInt(QStringLiteral("tickfontsize"), 9)); break;
    case KROSettingsParam::TICKFONTFAMILY: on_tickfontfamily(getTickFontFamily()); break;
    case KROSettingsParam::VERBOSE:
        m_console->command(readSettingBool(QStringLiteral("verbose"), false) ? QStringLiteral("verbose on")
                                                                           : QStringLiteral("verbose off"),
                           true);
        break;
    default: break;
    }
    loadPlotOptions(m_settingsPage->m_stored);
}
