#include "gui/krosettingsgui.h"

#include "core/settings.h"
#include "platform/labeledwidget.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using P = KROSettingsParam;

// Settings whose rows show a path.
bool isPathRow(P p)
{
    return p == P::DATAFILEVIEWER || p == P::IMGPATH || p == P::OPATH || p == P::SCRIPTSPATH || p == P::WORKSPACEPATH;
}

bool isBoolRow(P p)
{
    return p == P::AUTOCONVERTMJDLIVE || p == P::BACKGROUNDIMAGESTYLE || p == P::IMGBORDER || p == P::QUICKSTART ||
           p == P::USESHORTTITLES || p == P::VERBOSE;
}

bool isColourRow(P p)
{
    return p == P::BACKGROUNDCOLOR || p == P::BORDERCOLOR || p == P::GRIDLINECOLOR || p == P::TICKFONTCOLOR;
}

bool isIntegerRow(P p)
{
    return p == P::ADEVSTATISTIC || p == P::HISTORY || p == P::IMGQUAL || p == P::PNTRAD || p == P::TICKFONTSIZE ||
           p == P::TITLEFONTSIZE || p == P::XAXISFONTSIZE || p == P::YAXISFONTSIZE;
}

// The flag of a bool row in a record.
bool flagOf(P p, const PlotOptions& o)
{
    switch (p) {
    case P::AUTOCONVERTMJDLIVE: return o.autoconvertmjdlive;
    case P::BACKGROUNDIMAGESTYLE: return o.backgroundimagestyle != CENTERED;
    case P::IMGBORDER: return o.imgborder;
    case P::QUICKSTART: return o.quickstart;
    case P::USESHORTTITLES: return o.useshorttitles;
    case P::VERBOSE: return o.verbose;
    default: return false;
    }
}

int integerOf(P p, const PlotOptions& o)
{
    switch (p) {
    case P::ADEVSTATISTIC: return o.adevstatistic;
    case P::HISTORY: return o.history;
    case P::IMGQUAL: return o.imgqual;
    case P::PNTRAD: return o.pntrad;
    case P::TICKFONTSIZE: return o.tickfontsize;
    case P::TITLEFONTSIZE: return o.titlefontsize;
    case P::XAXISFONTSIZE: return o.xaxisfontsize;
    case P::YAXISFONTSIZE: return o.yaxisfontsize;
    default: return 0;
    }
}

quint32 colourOf(P p, const PlotOptions& o)
{
    switch (p) {
    case P::BACKGROUNDCOLOR: return o.backgroundcolor.rgb();
    case P::BORDERCOLOR: return o.bordercolor.rgb();
    case P::GRIDLINECOLOR: return o.gridlinecolor.rgb();
    case P::TICKFONTCOLOR: return o.tickfontcolor.rgb();
    default: return 0;
    }
}

QString textOf(P p, const PlotOptions& o)
{
    switch (p) {
    case P::BACKGROUNDIMAGE: return o.backgroundimage;
    case P::DATAFILEVIEWER: return o.datafileviewer;
    case P::IMGPATH: return o.imgpath;
    case P::IMGTIMESTAMP: return o.imgtimestamp;
    case P::IMGTYPE: return o.imgtype;
    case P::OFS: return o.ofs;
    case P::OPATH: return o.opath;
    case P::SCRIPTSPATH: return o.scriptspath;
    case P::TICKFONTFAMILY: return o.tickfontfamily;
    case P::TITLE: return o.title;
    case P::WORKSPACEPATH: return o.workspacepath;
    case P::XLBL: return o.xlbl;
    case P::YLBL: return o.ylbl;
    // The formats are read from the store whatever the record holds.
    case P::DATEFORMAT: return getDateFormat();
    case P::DATETIMEFORMAT: return getDateTimeFormat();
    case P::TIMEFORMAT: return getTimeFormat();
    default: return QString();
    }
}

} // namespace

QString settingsKey(KROSettingsParam param)
{
    switch (param) {
    case P::ADEVINTERVAL: return QStringLiteral("adevinterval");
    case P::ADEVSTATISTIC: return QStringLiteral("adevstatistic");
    case P::AUTOCONVERTMJDLIVE: return QStringLiteral("autoconvertmjdlive");
    case P::BACKGROUNDCOLOR: return QStringLiteral("backgroundcolor");
    case P::BACKGROUNDIMAGE: return QStringLiteral("backgroundimage");
    case P::BACKGROUNDIMAGESTYLE: return QStringLiteral("backgroundimagestyle");
    case P::BORDERCOLOR: return QStringLiteral("bordercolor");
    case P::DATAFILEVIEWER: return QStringLiteral("datafileviewer");
    case P::DATEFORMAT: return QStringLiteral("dateformat");
    case P::DATETIMEFORMAT: return QStringLiteral("datetimeformat");
    case P::GRIDLINECOLOR: return QStringLiteral("gridlinecolor");
    case P::HISTORY: return QStringLiteral("history");
    case P::IMGBORDER: return QStringLiteral("imgborder");
    case P::IMGPATH: return QStringLiteral("imgpath");
    case P::IMGTIMESTAMP: return QStringLiteral("imgtimestamp");
    case P::IMGTYPE: return QStringLiteral("imgtype");
    case P::IMGQUAL: return QStringLiteral("imgqual");
    case P::OFS: return QStringLiteral("ofs");
    case P::OPATH: return QStringLiteral("opath");
    case P::PNTRAD: return QStringLiteral("pntrad");
    case P::QUICKSTART: return QStringLiteral("quickstart");
    case P::SCRIPTSPATH: return QStringLiteral("scriptspath");
    case P::SIZE: return QStringLiteral("width");
    case P::TICKFONTSIZE: return QStringLiteral("tickfontsize");
    case P::TICKFONTCOLOR: return QStringLiteral("tickfontcolor");
    case P::TICKFONTFAMILY: return QStringLiteral("tickfontfamily");
    case P::TIMEFORMAT: return QStringLiteral("timeformat");
    case P::TITLE: return QStringLiteral("title");
    case P::TITLEFONTSIZE: return QStringLiteral("titlefontsize");
    case P::USESHORTTITLES: return QStringLiteral("useshorttitles");
    case P::VERBOSE: return QStringLiteral("verbose");
    case P::WORKSPACEPATH: return QStringLiteral("workspacepath");
    case P::XAXISFONTSIZE: return QStringLiteral("xaxisfontsize");
    case P::XLBL: return QStringLiteral("xlbl");
    case P::YAXISFONTSIZE: return QStringLiteral("yaxisfontsize");
    case P::YLBL: return QStringLiteral("ylbl");
    }
    return QString();
}

// ------------------------------------------------------------ SettingsButtons

SettingsButtons::SettingsButtons(KROSettingsParam param, QWidget* parent) : QWidget(parent), m_param(param)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addSpacing(5);
    m_stored = new QPushButton(tr("Stored Value"), this);
    m_current = new QPushButton(tr("Current Value"), this);
    m_apply = new QPushButton(tr("Apply && Save"), this);
    for (QPushButton* b : {m_stored, m_current, m_apply})
        layout->addWidget(b);
    connect(m_apply, &QPushButton::clicked, this, &SettingsButtons::on_apply);
    connect(m_current, &QPushButton::clicked, this, &SettingsButtons::on_current);
    connect(m_stored, &QPushButton::clicked, this, &SettingsButtons::on_stored);
}

void SettingsButtons::on_apply() { Q_EMIT apply_clicked(m_param); }
void SettingsButtons::on_current() { Q_EMIT current_clicked(m_param); }
void SettingsButtons::on_stored() { Q_EMIT stored_clicked(m_param); }

// ------------------------------------------------------------ KROSettingsGUI

KROSettingsGUI::KROSettingsGUI(QWidget* parent, QWidget* mainWindow) : QScrollArea(parent), m_mainWindow(mainWindow)
{
    // A window too narrow for the rows scrolls sideways rather than cut them.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (parent)
        viewport()->setBackgroundRole(parent->backgroundRole());
    loadPlotOptions(m_stored);
    m_current = m_stored;

    auto* frame = new QWidget(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(20, 20, 20, 20);
    frameLayout->setSpacing(20);

    QGroupBox* box = nullptr;
    auto group = [&](const QString& title) {
        box = new QGroupBox(title, frame);
        box->setFlat(false);
        auto* l = new QVBoxLayout(box);
        l->setSpacing(5);
        m_groups.push_back(box);
    };
    auto add = [&](P p, LabeledWidget* w) {
        box->layout()->addWidget(w);
        m_rows[static_cast<int>(p)].widget = w;
        return w;
    };
    auto edit = [&](P p, const QString& caption) { return add(p, new LabeledEdit(caption, box)); };
    auto radio = [&](P p, const QString& caption, const QStringList& options, int columns = 0) {
        auto* w = new LabeledRadioOpts(caption, box);
        w->setOptions(options, columns);
        return add(p, w);
    };
    auto spin = [&](P p, const QString& caption, int min, int max, int start) {
        return add(p, new LabeledSpinBox(caption, min, max, start, box));
    };
    auto colour = [&](P p, const QString& caption) { return add(p, new LabeledColorWheel(caption, box)); };
    auto combo = [&](P p, const QString& caption, const QStringList& items, bool editable) {
        auto* w = new LabeledComboBox(caption, box);
        w->combo()->addItems(items);
        w->setEditable(editable);
        return add(p, w);
    };

    group(tr("System Settings"));
    edit(P::WORKSPACEPATH, tr("Workspace Path"));
    edit(P::SCRIPTSPATH, tr("KroScript Path"));
    add(P::SIZE, new LabeledDimensions(tr("Program Size"), 2560, 1440, 1024, 768, box));
    edit(P::DATAFILEVIEWER, tr("Data file editor"));
    spin(P::HISTORY, tr("Command history"), 1, 1000, 1);
    radio(P::VERBOSE, tr("Verbose mode"), {tr("Off"), tr("On")});
    radio(P::QUICKSTART, tr("Quickstart Guide"), {tr("Hide"), tr("Show")});

    group(tr("Image Settings"));
    edit(P::IMGPATH, tr("Images Path"));
    combo(P::IMGTYPE, tr("Type"), {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("bmp")}, false);
    radio(P::IMGBORDER, tr("Border Color"), {tr("Always white"), tr("Use current color")});
    radio(P::IMGQUAL, tr("Quality"), {tr("High"), tr("Medium"), tr("Low")});
    combo(P::IMGTIMESTAMP, tr("Timestamp"),
          {QStringLiteral("MJD (56293.50000)"), QStringLiteral("%Y%m%d%H%M%S (20130115120000)"),
           QStringLiteral("%Y-%m-%d_%H%M%S (2013-01-15_120000)"), QStringLiteral("%y%m%d%H%M%S (130115120000)"),
           QStringLiteral("%d%b%y_%H%M%S (01Jan13_120000)")},
          true);

    group(tr("Data Save Settings"));
    edit(P::OPATH, tr("Data Path"));
    combo(P::OFS, tr("Field Separator"),
          {QStringLiteral("comma"), QStringLiteral("semicolon"), QStringLiteral("space"), QStringLiteral("tab")}, true);

    group(tr("Plotter Motif"));
    colour(P::BORDERCOLOR, tr("Border Color"));
    colour(P::BACKGROUNDCOLOR, tr("Background Color"));
    auto* image = new LabeledFileEntry(tr("Background Image"), 0, box);
    image->setFilters({tr("Images (*.png *.xpm *.jpg *jpeg)"), tr("All files (*)")});
    add(P::BACKGROUNDIMAGE, image);
    radio(P::BACKGROUNDIMAGESTYLE, tr("Backgnd Image Style"), {tr("Centered"), tr("Tiled")});
    colour(P::GRIDLINECOLOR, tr("Gridline Color"));
    spin(P::PNTRAD, tr("Point Radius"), 1, 100, 1);

    group(tr("Labels and Font Sizes"));
    edit(P::TITLE, tr("Title"));
    radio(P::USESHORTTITLES, tr("Use Short Titles"), {tr("No"), tr("Yes")});
    edit(P::XLBL, tr("X-Axis Label"));
    edit(P::YLBL, tr("Y-Axis Label"));
    spin(P::TITLEFONTSIZE, tr("Title Font Size"), 4, 100, 10);
    spin(P::XAXISFONTSIZE, tr("X-Axis Label Font Size"), 4, 100, 10);
    spin(P::YAXISFONTSIZE, tr("Y-Axis Label Font Size"), 4, 100, 10);
    combo(P::TICKFONTFAMILY, tr("Tick Font Family"), QFontDatabase::families(), false);
    spin(P::TICKFONTSIZE, tr("Tick Font Size"), 4, 100, 10);
    colour(P::TICKFONTCOLOR, tr("Tick Font Color"));

    group(tr("Date/Time Formatting"));
    edit(P::DATEFORMAT, tr("Date Format"));
    edit(P::TIMEFORMAT, tr("Time Format"));
    edit(P::DATETIMEFORMAT, tr("Datetime Format"));
    radio(P::AUTOCONVERTMJDLIVE, tr("Auto MJD->Datetime"), {tr("Disabled"), tr("Enabled (live plotters)")});

    group(tr("Allan Deviations"));
    auto* statistic = new LabeledCheckOpts(tr("Statistic"), box);
    statistic->setOptions({tr("Normal"), tr("Overlapping"), tr("Modified"), tr("TDEV"), tr("Hadamard"), tr("MTIE")}, 3);
    add(P::ADEVSTATISTIC, statistic);
    radio(P::ADEVINTERVAL, tr("AF Interval"), {tr("Octave"), tr("Decade"), tr("Many Tau"), tr("All Tau")}, 2);

    for (auto& [number, r] : m_rows) {
        const P p = static_cast<P>(number);
        showValue(p, m_stored);
        r.buttons = new SettingsButtons(p, r.widget);
        r.indicator = new AcceptedCheck(r.widget);
        r.indicator->setFixedSize(21, 16);
        r.widget->addEditor(r.buttons);
        r.widget->addEditor(r.indicator);
        connect(r.buttons, &SettingsButtons::apply_clicked, this, &KROSettingsGUI::on_apply);
        connect(r.buttons, &SettingsButtons::current_clicked, this, &KROSettingsGUI::on_current);
        connect(r.buttons, &SettingsButtons::current_clicked, r.indicator, &AcceptedCheck::setUnchecked);
        connect(r.buttons, &SettingsButtons::stored_clicked, this, &KROSettingsGUI::on_stored);
        connect(r.buttons, &SettingsButtons::stored_clicked, r.indicator, &AcceptedCheck::setUnchecked);
        connect(r.widget, &LabeledWidget::valueChanged, r.indicator, &AcceptedCheck::setUnchecked);
    }
    // Each row keeps its natural height and the page scrolls instead.
    for (auto& [number, r] : m_rows)
        r.widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    alignCaptions();
    connect(row(P::TITLE), &LabeledWidget::valueChanged, this, &KROSettingsGUI::maybe_enable_shorttitles);
    maybe_enable_shorttitles();

    auto* heading = new QLabel(tr("<u>KRO Settings</u><br/><small>To close this page, click the \"Default Settings\" "
                                  "button in the Toolsets panel again.</small>"),
                               frame);
    QFont headingFont = heading->font();
    headingFont.setPointSize(14);
    headingFont.setStyleHint(QFont::Decorative);
    heading->setFont(headingFont);
    frameLayout->addWidget(heading);
    for (QGroupBox* g : m_groups) {
        g->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        frameLayout->addWidget(g);
    }
    frameLayout->addStretch(1);
    setWidgetResizable(true);
    setWidget(frame);
}

void KROSettingsGUI::alignCaptions()
{
    // The editors line up behind captions that all show whole.
    int captionWidth = 110;
    for (const auto& [number, r] : m_rows)
        captionWidth = std::max(captionWidth, r.widget->caption()->sizeHint().width());
    for (auto& [number, r] : m_rows)
        r.widget->caption()->setFixedWidth(captionWidth);
}

void KROSettingsGUI::changeEvent(QEvent* event)
{
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        alignCaptions();
}

void KROSettingsGUI::showEvent(QShowEvent* event)
{
    // The page's font is the one of the window it ended up in.
    alignCaptions();
    QScrollArea::showEvent(event);
}

const KROSettingsGUI::Row* KROSettingsGUI::rowOf(KROSettingsParam param) const
{
    const auto it = m_rows.find(static_cast<int>(param));
    return it == m_rows.end() ? nullptr : &it->second;
}

LabeledWidget* KROSettingsGUI::row(KROSettingsParam param) const
{
    const Row* r = rowOf(param);
    return r ? r->widget : nullptr;
}

SettingsButtons* KROSettingsGUI::buttons(KROSettingsParam param) const
{
    const Row* r = rowOf(param);
    return r ? r->buttons : nullptr;
}

AcceptedCheck* KROSettingsGUI::indicator(KROSettingsParam param) const
{
    const Row* r = rowOf(param);
    return r ? r->indicator : nullptr;
}

std::vector<KROSettingsParam> KROSettingsGUI::params() const
{
    std::vector<KROSettingsParam> list;
    for (const auto& [number, r] : m_rows)
        list.push_back(static_cast<P>(number));
    return list;
}

void KROSettingsGUI::showValue(KROSettingsParam p, const PlotOptions& o)
{
    LabeledWidget* w = row(p);
    if (!w)
        return;
    if (p == P::ADEVINTERVAL) {
        // 1 Octave, 2 Decade, 4 Many Tau, 8 All Tau; nothing names no option.
        if (o.adevinterval > 0)
            w->setValue(static_cast<int>(std::floor(std::log2(o.adevinterval))));
    } else if (isIntegerRow(p)) {
        w->setValue(integerOf(p, o));
    } else if (isBoolRow(p)) {
        w->select(flagOf(p, o));
    } else if (isColourRow(p)) {
        w->setColor(colourOf(p, o));
    } else if (p == P::SIZE) {
        w->setDimensions(o.width, o.height);
    } else if (isPathRow(p)) {
        w->setText(QDir::toNativeSeparators(textOf(p, o)));
    } else {
        w->setText(textOf(p, o));
    }
}

bool KROSettingsGUI::writeRow(KROSettingsParam p, const LabeledWidget& w)
{
    const LabeledValue v = w.value();
    const QString key = settingsKey(p);
    if (p == P::ADEVINTERVAL)
        return writeSetting(key, QVariant(v.number < 0 ? 0 : 1 << v.number));
    if (p == P::SIZE)
        return writeSetting(QStringLiteral("width"), QVariant(v.width)) &&
               writeSetting(QStringLiteral("height"), QVariant(v.height));
    if (isBoolRow(p))
        return writeSetting(key, QVariant(v.flag));
    if (isColourRow(p))
        return writeSetting(key, QVariant(static_cast<int>(v.colour.rgb())));
    if (isIntegerRow(p))
        return writeSetting(key, QVariant(v.number));
    return writeSetting(key, QVariant(v.text));
}

void KROSettingsGUI::on_apply(KROSettingsParam p)
{
    const Row* r = rowOf(p);
    if (!r)
        return;
    if (!writeRow(p, *r->widget)) {
        r->indicator->setUnchecked();
        kro::prompter().warning(this, tr("KRO Settings"),
                                tr("The setting \"%1\" could not be saved: the settings store cannot be written.")
                                    .arg(r->widget->caption()->text()));
        return;
    }
    r->indicator->setChecked();
    Q_EMIT saved(p);
}

void KROSettingsGUI::on_current(KROSettingsParam p)
{
    if (p == P::SIZE && m_mainWindow) {
        m_current.width = m_mainWindow->width();
        m_current.height = m_mainWindow->height();
    }
    showValue(p, m_current);
}

void KROSettingsGUI::on_stored(KROSettingsParam p) { showValue(p, m_stored); }

void KROSettingsGUI::maybe_enable_shorttitles()
{
    if (LabeledWidget* shortTitles = row(P::USESHORTTITLES))
        shortTitles->setEnabled(row(P::TITLE)->value().text == QLatin1String("Default Title"));
}
