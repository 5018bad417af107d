#pragma once
// "Allan Deviations": the parameters of an Allan-deviation run, one tab page
// per curve (statistics, averaging-factor interval, tau0) and, with more
// than one curve, a first page "All" whose settings go to every curve page
// and which shows where the curve pages differ.
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <map>
#include <vector>

#include "analysis/adevengine.h"
#include "core/idarray.h"

class QButtonGroup;
class QLineEdit;

// A check box whose three-valued state (off 0, mixed 1, on 2) is set and
// read from outside.
class TristateCheckbox : public QCheckBox {
public:
    TristateCheckbox(const QString& text, QWidget* parent);
    void setState(int state);
    virtual int state() const;
};

// A radio button with the same three-valued state; the mixed state is drawn
// as the style's "no change" look.
class TristateRadiobutton : public QRadioButton {
public:
    TristateRadiobutton(const QString& text, QWidget* parent);
    void setState(int state);
    virtual int state() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool m_mixed = false;
};

// A tab bar drawing each tab's label in its own colour.
class ADevTabBar : public QTabBar {
public:
    explicit ADevTabBar(QWidget* parent = nullptr) : QTabBar(parent) {}
    void setTabColor(const QColor& colour, int index);
    std::map<int, QColor> m_tabColors;
};

class ADevTabWidget : public QTabWidget {
public:
    explicit ADevTabWidget(QWidget* parent = nullptr) : QTabWidget(parent) {}
    void setAdevTabBar(ADevTabBar* bar) { setTabBar(bar); }
};

// One curve's settings (m_curveId -1: the "All" page).
class ADevPromptPage : public QWidget {
    Q_OBJECT

public:
    ADevPromptPage(int id, QWidget* parent = nullptr);

    // The statistics whose boxes are not off; the first interval whose
    // button is not off (16 when all are off); the tau text as a number
    // (0 when empty or unreadable).
    int types() const;
    int interval() const;
    double tau() const;

    int m_curveId;
    QButtonGroup* m_typeGroup = nullptr;
    QButtonGroup* m_intervalGroup = nullptr;
    std::map<int, TristateCheckbox*> m_typeBoxes;         // by AdevType bit
    std::map<int, TristateRadiobutton*> m_intervalButtons;  // by AFInterval
    QLineEdit* m_tauEdit = nullptr;

Q_SIGNALS:
    void accept();
    void reject();
};

// The "All" page: mirrors the curve pages.
class ADevDefaultPage : public ADevPromptPage {
    Q_OBJECT

public:
    explicit ADevDefaultPage(QWidget* parent = nullptr) : ADevPromptPage(-1, parent) {}
    std::vector<ADevPromptPage*> m_pages;

public Q_SLOTS:
    // From the curve pages to this page.
    void setDefaultIntervalStates();
    void setDefaultTau(const QString& text);
    void setDefaultTypeStates();
    // From this page to every curve page.
    void setDependantIntervalStates();
    void setDependantTypeStates();
    void setDependantTau();
};

class ADevPrompt : public QDialog {
    Q_OBJECT

public:
    // The sample spacings (seconds) the tau field accepts.
    static constexpr double kMinTau = 1e-5;
    static constexpr double kMaxTau = 2147483647.0;

    // ids: the curve ids (one page each); colours: one per id, same order.
    // Throws kroexception "Error creating ADEV dialog! ..." without ids.
    ADevPrompt(const IdArray* ids, std::vector<QColor> colours, QWidget* parent = nullptr);

    void setTau(double tau0, int id);
    void setTypes(int types, int id);
    void setAFInterval(int interval, int id);
    // One request per curve page, in tab order (name empty).
    std::vector<AdevRequest> requests() const;
    // The page of a curve id (-1: "All"); throws kroexception when none.
    ADevPromptPage* page(int id) const;

    ADevTabWidget* m_tabs = nullptr;
    ADevTabBar* m_tabBar = nullptr;
    QString m_errors;
    bool m_hasAllPage = false;

public Q_SLOTS:
    // Refuses a curve page with statistics but no interval or no positive
    // tau (the run would never end or give no numbers), else accepts.
    void accept() override;

private:
    void refreshAllPage();
};
